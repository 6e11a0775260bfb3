# The Python module `vantero` (python/): built by default where Python 3 with
# its development files, pybind11 and numpy are found; VANTERO_WITH_PYTHON=OFF
# leaves it out, and ON without them is an error.
#
# The interpreter is the distribution's own, /usr/bin/python3, for which its
# pybind11, numpy and pytest are installed, rather than whichever python3
# comes first on PATH (a pyenv shim, a virtual environment);
# -DPython3_EXECUTABLE=... chooses another.
set(vantero_python_found OFF)
if(NOT VANTERO_ENTRIES_ONLY AND NOT VANTERO_WITH_FUZZ)
  if(NOT DEFINED Python3_EXECUTABLE AND EXISTS /usr/bin/python3)
    set(Python3_EXECUTABLE /usr/bin/python3 CACHE FILEPATH
      "The Python interpreter the module is built and tested for")
  endif()
  find_package(Python3 3.9 QUIET COMPONENTS Interpreter Development.Module)
  if(Python3_FOUND)
    find_package(pybind11 2.6 CONFIG QUIET)
    execute_process(COMMAND ${Python3_EXECUTABLE} -c "import numpy"
      RESULT_VARIABLE numpy_missing OUTPUT_QUIET ERROR_QUIET)
    if(pybind11_FOUND AND numpy_missing EQUAL 0)
      set(vantero_python_found ON)
    endif()
  endif()
endif()

option(VANTERO_WITH_PYTHON
  "Build the Python module vantero (needs Python 3 with its development files, pybind11 and numpy)"
  ${vantero_python_found})
if(VANTERO_WITH_PYTHON AND NOT vantero_python_found)
  message(FATAL_ERROR "VANTERO_WITH_PYTHON needs Python 3 with its development files, pybind11 "
    "and numpy (Debian: pybind11-dev python3-dev python3-numpy); -DVANTERO_WITH_PYTHON=OFF "
    "builds without the module")
endif()

if(VANTERO_WITH_PYTHON)
  # The core's static libraries go into the module, a shared object.
  set(CMAKE_POSITION_INDEPENDENT_CODE ON)
endif()
