#include "python/values.h"

#include "common/runs/orderedblocks.h"
#include "common/runs/sweep.h"

#include "python/columnmemory.h"

#include <charconv>
#include <mutex>

namespace py = pybind11;

namespace vantero::python {

std::string textOf(const std::string& name, py::handle value) {
    PyObject* object = value.ptr();
    if (PyUnicode_Check(object)) {
        return value.cast<std::string>();
    }
    if (!PyBool_Check(object)) {
        if (PyIndex_Check(object)) {
            return py::str(py::reinterpret_steal<py::object>(PyNumber_Index(object)));
        }
        const PyNumberMethods* number = Py_TYPE(object)->tp_as_number;
        if (number != nullptr && number->nb_float != nullptr) {
            const double d = PyFloat_AsDouble(object);
            if (d == -1.0 && PyErr_Occurred()) {
                throw py::error_already_set();
            }
            char buffer[32];
            return {buffer, std::to_chars(buffer, buffer + sizeof buffer, d).ptr};
        }
    }
    throw py::type_error(name + ": a number or a text, not " +
                         std::string(py::str(py::type::handle_of(value).attr("__name__"))));
}

py::array objectColumn(std::span<PyObject* const> objects, std::size_t count,
                       const FillObjects& fill) {
    NewColumn column(count, sizeof(PyObject*));
    auto** items = static_cast<PyObject**>(column.data());
    std::vector<std::size_t> uses(objects.size());
    {
        const py::gil_scoped_release unlocked;
        std::mutex usesLock;
        runItemBlocks(count, sweepWorkers(count, availableCores()),
                      [&]() -> ItemWork {
                          return [&](std::size_t first, std::size_t end) {
                              std::vector<std::size_t> own(objects.size());
                              fill(first, end, items, own.data());
                              const std::lock_guard lock(usesLock);
                              for (std::size_t k = 0; k < own.size(); ++k) {
                                  uses[k] += own[k];
                              }
                          };
                      },
                      {});
    }
    for (std::size_t k = 0; k < objects.size(); ++k) {
        Py_SET_REFCNT(objects[k], Py_REFCNT(objects[k]) + static_cast<Py_ssize_t>(uses[k]));
    }
    column.holdReferences();
    return column.array(py::dtype("O"));
}

} // namespace vantero::python
