#include "python/values.h"

#include <charconv>

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

} // namespace vantero::python
