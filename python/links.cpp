#include "python/links.h"

#include "common/catalogue/locations.h"
#include "common/linktable/columns.h"
#include "common/linktable/evaluation.h"
#include "common/linktable/partcolumns.h"
#include "python/sweepcolumns.h"
#include "python/values.h"

#include <pybind11/numpy.h>

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace py = pybind11;

namespace vantero::python {
namespace {

using NumberRoom = std::array<char, 32>;

std::string typeName(py::handle value) {
    return py::str(py::type::handle_of(value).attr("__name__"));
}

// pandas' own marks of a missing value: pd.NA and pd.NaT.
bool isPandasMissing(py::handle value) {
    const py::handle type = py::type::handle_of(value);
    const std::string module = py::str(type.attr("__module__"));
    const std::string name = py::str(type.attr("__name__"));
    return module.starts_with("pandas") && (name == "NAType" || name == "NaTType");
}

// The text of one cell: none for None, a NaN or pandas' missing value, else
// the text of the value as an input's (textOf).
std::string cellText(const std::string& column, py::handle value) {
    PyObject* object = value.ptr();
    if (object == Py_None) {
        return {};
    }
    if (PyUnicode_Check(object)) {
        return value.cast<std::string>();
    }
    if (!PyBool_Check(object) && !PyIndex_Check(object)) {
        const PyNumberMethods* number = Py_TYPE(object)->tp_as_number;
        if (number != nullptr && number->nb_float != nullptr) {
            const double d = PyFloat_AsDouble(object);
            if (d == -1.0 && PyErr_Occurred()) {
                throw py::error_already_set();
            }
            if (std::isnan(d)) {
                return {};
            }
        } else if (isPandasMissing(value)) {
            return {};
        }
    }
    return textOf(column, value);
}

// The cells of one column of a table as the links read them: the numbers of
// an array of floats (NaN: an empty cell) or of whole numbers, written as
// textOf writes them when a link reads them, or texts.
struct CellColumn {
    enum class Kind { Floats, Integers, Texts } kind = Kind::Texts;
    std::vector<double> floats;
    std::vector<std::int64_t> integers;
    std::vector<std::string> texts;

    std::size_t size() const {
        switch (kind) {
        case Kind::Floats:
            return floats.size();
        case Kind::Integers:
            return integers.size();
        case Kind::Texts:
            break;
        }
        return texts.size();
    }

    // The text of cell `row`; a number's is written in `room`.
    std::string_view cell(std::size_t row, NumberRoom& room) const {
        char* end = room.data();
        switch (kind) {
        case Kind::Floats:
            if (std::isnan(floats[row])) {
                return {};
            }
            end = std::to_chars(room.data(), room.data() + room.size(), floats[row]).ptr;
            break;
        case Kind::Integers:
            end = std::to_chars(room.data(), room.data() + room.size(), integers[row]).ptr;
            break;
        case Kind::Texts:
            return texts[row];
        }
        return {room.data(), static_cast<std::size_t>(end - room.data())};
    }
};

template <typename Number> std::vector<Number> numbersOf(const py::array& array) {
    using Converted = py::array_t<Number, py::array::c_style | py::array::forcecast>;
    const Converted numbers = Converted::ensure(array);
    return {numbers.data(), numbers.data() + numbers.size()};
}

// The cells of column `name`: a numpy array or a pandas Series of floats or
// of whole numbers is taken as numbers; anything else cell by cell.
CellColumn readColumn(const std::string& name, py::handle values) {
    if (PyUnicode_Check(values.ptr()) || PyBytes_Check(values.ptr()) ||
        !py::isinstance<py::iterable>(values)) {
        throw py::type_error(name + ": a column is a sequence of cells, not " + typeName(values));
    }
    CellColumn column;
    py::object cells = py::reinterpret_borrow<py::object>(values);
    if (py::isinstance<py::array>(values) || py::hasattr(values, "to_numpy")) {
        const py::array array = py::module_::import("numpy").attr("asarray")(values);
        if (array.ndim() != 1) {
            throw py::value_error(name + ": a column is a sequence of cells, not an array in " +
                                  std::to_string(array.ndim()) + " dimensions");
        }
        const char kind = array.dtype().kind();
        if (kind == 'f') {
            column.kind = CellColumn::Kind::Floats;
            column.floats = numbersOf<double>(array);
            return column;
        }
        if (kind == 'i') {
            column.kind = CellColumn::Kind::Integers;
            column.integers = numbersOf<std::int64_t>(array);
            return column;
        }
        cells = array.attr("tolist")();
    }
    for (const py::handle cell : cells) {
        column.texts.push_back(cellText(name, cell));
    }
    return column;
}

// An array of str objects, element i the text `text(i)` gives; with
// `shared`, the elements of the same text share one object.
py::array strings(std::size_t count, const std::function<std::string_view(std::size_t)>& text,
                  bool shared) {
    py::array column(py::dtype("O"), static_cast<py::ssize_t>(count));
    auto** elements = static_cast<PyObject**>(column.mutable_data());
    std::unordered_map<std::string, py::str> objects;
    for (std::size_t i = 0; i < count; ++i) {
        const std::string_view t = text(i);
        py::str object;
        if (!shared) {
            object = py::str(t.data(), t.size());
        } else if (const auto found = objects.find(std::string(t)); found != objects.end()) {
            object = found->second;
        } else {
            object = objects.emplace(std::string(t), py::str(t.data(), t.size())).first->second;
        }
        Py_XDECREF(elements[i]); // numpy starts an array of objects empty (or None)
        elements[i] = object.release().ptr();
    }
    return column;
}

// The columns a table of links gives besides the point's, as numpy arrays,
// and where the links write them.
struct LinkArrays : PointArrays {
    explicit LinkArrays(std::size_t rows)
        : PointArrays(rows), row(numberColumn<std::int64_t>(rows)),
          length(numberColumn<double>(rows)), powerMargin(numberColumn<double>(rows)),
          riseTimeMargin(numberColumn<double>(rows)), powerBudgetMet(numberColumn<bool>(rows)),
          riseTimeBudgetMet(numberColumn<bool>(rows)), status(rows), errors(rows) {}

    py::array_t<std::int64_t> row;
    py::array_t<double> length;
    py::array_t<double> powerMargin;
    py::array_t<double> riseTimeMargin;
    py::array_t<bool> powerBudgetMet;
    py::array_t<bool> riseTimeBudgetMet;
    ColumnMemory status; // codes, made texts at the end
    std::vector<std::string> errors;
};

// Where one link's outcome goes: element i of each column.
struct LinkOutputs {
    explicit LinkOutputs(LinkArrays& arrays)
        : length(arrays.length.mutable_data()), powerMargin(arrays.powerMargin.mutable_data()),
          riseTimeMargin(arrays.riseTimeMargin.mutable_data()),
          powerBudgetMet(arrays.powerBudgetMet.mutable_data()),
          riseTimeBudgetMet(arrays.riseTimeBudgetMet.mutable_data()),
          status(static_cast<std::uint8_t*>(arrays.status.data())), errors(arrays.errors.data()) {}

    // As the CSV writes the link: a budget is met only when both budgets
    // are whole.
    void store(const linktable::LinkOutcome& outcome, std::size_t i) const {
        constexpr double none = std::numeric_limits<double>::quiet_NaN();
        const std::optional<LinkBudgets>& budgets = outcome.budgets;
        const bool whole = budgets && !budgets->fault;
        length[i] = outcome.length.value_or(none);
        powerMargin[i] = budgets ? budgets->powerMargin.value_or(none) : none;
        riseTimeMargin[i] = budgets ? budgets->riseTimeMargin.value_or(none) : none;
        powerBudgetMet[i] = whole && budgets->powerBudgetMet();
        riseTimeBudgetMet[i] = whole && budgets->riseTimeBudgetMet();
        status[i] = static_cast<std::uint8_t>(outcome.status);
        errors[i] = outcome.error;
    }

    double* length;
    double* powerMargin;
    double* riseTimeMargin;
    bool* powerBudgetMet;
    bool* riseTimeBudgetMet;
    std::uint8_t* status;
    std::string* errors;
};

// What a thread works with: its own copies of the base, and the cells of
// the row it runs.
struct LinkThread {
    LinkThread(const Session& base, const linktable::LinkColumns& columns, const LinkArrays& arrays)
        : evaluator(base, columns), writer(arrays.columns), cells(columns.size()),
          rooms(columns.size()) {}

    linktable::LinkEvaluator evaluator;
    PointWriter writer;
    std::vector<std::string_view> cells;
    std::vector<NumberRoom> rooms;
};

} // namespace

py::dict linkColumns(const Session& base, py::handle table, unsigned workers) {
    if (!py::hasattr(table, "keys") || !py::hasattr(table, "__getitem__")) {
        throw py::type_error("a table of links is a mapping of column names to their cells (a "
                             "dict, a pandas DataFrame), not " +
                             typeName(table));
    }
    std::vector<py::object> keys;
    std::vector<std::string> names;
    for (const py::handle key : table.attr("keys")()) {
        keys.push_back(py::reinterpret_borrow<py::object>(key));
        names.emplace_back(py::str(key));
    }
    const std::vector<std::string_view> header(names.begin(), names.end());
    // The parts a column names come from the catalogue the command line
    // reads (the shipped parts, then the user's); without a part column it
    // is not read.
    catalogue::Catalogue parts;
    if (linktable::PartColumns::named(header)) {
        std::vector<std::string> notices;
        try {
            parts = catalogue::loadCatalogue({}, notices);
        } catch (const catalogue::CatalogueError& error) {
            throw py::value_error(error.what());
        }
        for (const std::string& notice : notices) {
            if (PyErr_WarnEx(PyExc_UserWarning, ("catalogue: " + notice).c_str(), 1) != 0) {
                throw py::error_already_set();
            }
        }
    }
    const linktable::PartColumns partColumns(base.calculator(), parts);
    std::optional<linktable::LinkColumns> columns;
    try {
        columns.emplace(base.calculator(), header, partColumns.extras());
    } catch (const linktable::ColumnError& error) {
        throw py::key_error(error.what());
    }
    std::vector<CellColumn> cells;
    const py::object mapping = py::reinterpret_borrow<py::object>(table);
    for (std::size_t c = 0; c < keys.size(); ++c) {
        cells.push_back(readColumn(names[c], mapping[keys[c]]));
        if (cells[c].size() != cells.front().size()) {
            throw py::value_error("the columns of a table have as many cells each, but " +
                                  names.front() + " has " + std::to_string(cells.front().size()) +
                                  " and " + names[c] + " " + std::to_string(cells[c].size()));
        }
    }
    const std::size_t rows = cells.empty() ? 0 : cells.front().size();

    LinkArrays arrays(rows);
    const LinkOutputs outputs(arrays);
    bool finished = false;
    {
        const py::gil_scoped_release unlocked;
        finished = runItemBlocks(
            rows, workers,
            [&]() -> ItemWork {
                auto own = std::make_shared<LinkThread>(base, *columns, arrays);
                return [own, &cells, &outputs](std::size_t first, std::size_t end) {
                    for (std::size_t i = first; i < end; ++i) {
                        for (std::size_t c = 0; c < cells.size(); ++c) {
                            own->cells[c] = cells[c].cell(i, own->rooms[c]);
                        }
                        const linktable::TableRow row{i + 1, 0, own->cells, {}};
                        const linktable::LinkOutcome& outcome = own->evaluator.evaluate(row);
                        own->writer.store(outcome.point, i);
                        outputs.store(outcome, i);
                    }
                };
            },
            [] {
                const py::gil_scoped_acquire locked;
                return PyErr_CheckSignals() != 0;
            });
    }
    if (!finished) {
        throw py::error_already_set(); // KeyboardInterrupt, say
    }

    std::int64_t* row = arrays.row.mutable_data();
    for (std::size_t i = 0; i < rows; ++i) {
        row[i] = static_cast<std::int64_t>(i + 1);
    }
    py::dict result;
    result["row"] = arrays.row;
    if (const auto id = columns->id()) {
        NumberRoom room;
        result["id"] = strings(
            rows, [&](std::size_t i) { return cells[*id].cell(i, room); }, false);
    }
    arrays.addTo(result);
    if (columns->length()) {
        result["length"] = arrays.length;
        result["powerMargin"] = arrays.powerMargin;
        result["riseTimeMargin"] = arrays.riseTimeMargin;
        result["powerBudgetMet"] = arrays.powerBudgetMet;
        result["riseTimeBudgetMet"] = arrays.riseTimeBudgetMet;
    }
    const std::array<std::string_view, 3> statuses{statusName(linktable::LinkStatus::Ok),
                                                   statusName(linktable::LinkStatus::Fault),
                                                   statusName(linktable::LinkStatus::Error)};
    result["status"] = textColumn(statuses, outputs.status, rows);
    result["error"] = strings(
        rows, [&](std::size_t i) { return std::string_view(arrays.errors[i]); }, true);
    return result;
}

} // namespace vantero::python
