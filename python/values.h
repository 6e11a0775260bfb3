#pragma once

#include "python/columnmemory.h"
#include "python/sweepcolumns.h"

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vantero::python {

// The text of a value given for an input, a choice, a length or a cell of a
// table: a text as it is, a whole number in all its digits, any other number
// in the shortest form that reads back as the same double. Anything else (a
// bool included) raises TypeError naming `name`.
std::string textOf(const std::string& name, pybind11::handle value);

// Fills elements [first, end) of an object column and counts in uses[k] the
// elements it made the k-th object.
using FillObjects =
    std::function<void(std::size_t first, std::size_t end, PyObject** items, std::size_t* uses)>;

// An array of `count` references to `objects`, filled a block at a time by
// `fill` on the cores, without the interpreter's lock. Its elements live in
// memory of their own (the array's base), which gives their references back
// when the array goes.
pybind11::array objectColumn(std::span<PyObject* const> objects, std::size_t count,
                             const FillObjects& fill);

// An array of str objects, element i the text of code i: one object for
// each text, shared by its elements.
template <typename Texts, typename Code>
pybind11::array textColumn(const Texts& texts, const Code* code, std::size_t count) {
    std::vector<pybind11::str> objects;
    std::vector<PyObject*> pointers;
    for (const auto& text : texts) {
        pointers.push_back(objects.emplace_back(std::string(text)).ptr());
    }
    PyObject* const* object = pointers.data();
    return objectColumn(
        pointers, count,
        [code, object](std::size_t first, std::size_t end, PyObject** items, std::size_t* uses) {
            for (std::size_t i = first; i < end; ++i) {
                items[i] = object[code[i]];
                ++uses[code[i]];
            }
        });
}

// The columns of the points of a sweep or of a table of links, as numpy
// arrays, and where the runs write them.
struct PointArrays {
    explicit PointArrays(std::size_t points)
        : points(points), powerDistance(numberColumn<double>(points)),
          riseTimeDistance(numberColumn<double>(points)),
          maximumDistance(numberColumn<double>(points)), limitedBy(points * sizeof(std::uint8_t)),
          message(points * sizeof(std::uint16_t)), columns{
                                                       powerDistance.mutable_data(),
                                                       riseTimeDistance.mutable_data(),
                                                       maximumDistance.mutable_data(),
                                                       static_cast<std::uint8_t*>(limitedBy.data()),
                                                       static_cast<std::uint16_t*>(message.data()),
                                                       &messages} {}
    PointArrays(const PointArrays&) = delete;
    PointArrays& operator=(const PointArrays&) = delete;

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
        result["limitedBy"] = textColumn(limits, columns.limitedBy, points);
        result["message"] = textColumn(messages.texts(), columns.message, points);
    }

    std::size_t points;
    pybind11::array_t<double> powerDistance;
    pybind11::array_t<double> riseTimeDistance;
    pybind11::array_t<double> maximumDistance;
    ColumnMemory limitedBy; // codes, made texts at the end
    ColumnMemory message;
    MessageTable messages;
    SweepColumns columns;
};

} // namespace vantero::python
