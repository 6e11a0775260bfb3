# 32-bit x86 (i386) Linux on an x86-64 Debian host, with the host's GCC and
# gcc-multilib / g++-multilib (the i386 preset).
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER gcc)
set(CMAKE_CXX_COMPILER g++)
set(CMAKE_C_FLAGS_INIT -m32)
set(CMAKE_CXX_FLAGS_INIT -m32)

# Tests run the 32-bit programs natively where the kernel runs them, and
# under qemu-i386 (Debian package qemu-user) where it does not. The probe is
# the 32-bit dynamic loader, which gcc-multilib brings along.
if(NOT DEFINED CMAKE_CROSSCOMPILING_EMULATOR)
  execute_process(COMMAND /lib/ld-linux.so.2 --version
    RESULT_VARIABLE vantero_i386_native OUTPUT_QUIET ERROR_QUIET)
  if(NOT vantero_i386_native STREQUAL "0")
    find_program(VANTERO_QEMU_I386 qemu-i386)
    if(VANTERO_QEMU_I386)
      set(CMAKE_CROSSCOMPILING_EMULATOR ${VANTERO_QEMU_I386})
    else()
      message(WARNING "This kernel runs no i386 program and qemu-i386 is missing: the tests cannot run")
    endif()
  endif()
endif()
