#pragma once

#include "python/sweepcolumns.h"

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vantero::python {

// The text of a value given for an input, a choice, a length or a cell of a
// table: a text as it is, a whole number in all its digits, any other number
// in the shortest form that reads back as the same double. Anything else (a
// bool included) raises TypeError naming `name`.
std::string textOf(const std::string& name, pybind11::handle value);

// An array of str objects, element i the text of code i: one object for
// each text, shared by its elements.
template <typename Texts, typename Code>
pybind11::array textColumn(const Texts& texts, const pybind11::array_t<Code>& codes) {
    std::vector<pybind11::str> objects;
    for (const auto& text : texts) {
        objects.emplace_back(std::string(text));
    }
    pybind11::array column(pybind11::dtype("O"), codes.size());
    auto** elements = static_cast<PyObject**>(column.mutable_data());
    const Code* code = codes.data();
    for (pybind11::ssize_t i = 0; i < codes.size(); ++i) {
        PyObject* text = objects[code[i]].ptr();
        Py_INCREF(text);
        Py_XDECREF(elements[i]); // numpy starts an array of objects empty (or None)
        elements[i] = text;
    }
    return column;
}

// The columns of the points of a sweep or of a table of links, as numpy
// arrays, and where the runs write them.
struct PointArrays {
    explicit PointArrays(std::size_t points)
        : powerDistance(count(points)), riseTimeDistance(count(points)),
          maximumDistance(count(points)), limitedBy(count(points)),
          message(count(points)), columns{powerDistance.mutable_data(),
                                          riseTimeDistance.mutable_data(),
                                          maximumDistance.mutable_data(),
                                          limitedBy.mutable_data(),
                                          message.mutable_data(),
                                          &messages} {}
    PointArrays(const PointArrays&) = delete;
    PointArrays& operator=(const PointArrays&) = delete;

    static pybind11::ssize_t count(std::size_t points) {
        return static_cast<pybind11::ssize_t>(points);
    }

    // Adds the columns by name, in the order of the CSV: powerDistance,
    // riseTimeDistance, maximumDistance, limitedBy and message, the two
    // columns of texts as arrays of str.
    void addTo(pybind11::dict& result) const {
        std::vector<std::string_view> limits;
        for (std::uint8_t code = 0; code < 3; ++code) {
            limits.push_back(limitedByText(code));
        }
        result["powerDistance"] = powerDistance;
        result["riseTimeDistance"] = riseTimeDistance;
        result["maximumDistance"] = maximumDistance;
        result["limitedBy"] = textColumn(limits, limitedBy);
        result["message"] = textColumn(messages.texts(), message);
    }

    pybind11::array_t<double> powerDistance;
    pybind11::array_t<double> riseTimeDistance;
    pybind11::array_t<double> maximumDistance;
    pybind11::array_t<std::uint8_t> limitedBy;
    pybind11::array_t<std::uint16_t> message;
    MessageTable messages;
    SweepColumns columns;
};

} // namespace vantero::python
