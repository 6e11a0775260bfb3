// vantero._core: the registry's calculators for Python. Everything a
// calculator is comes from its description and its session; the settings,
// the JSON of a run, the budgets at a length and the links of a table are the
// command line's own.
// The package vantero (vantero/__init__.py) is the documented interface.
#include "calculators/registry.h"
#include "cli/core/arguments.h"
#include "cli/core/joined.h"
#include "common/calculator/projectfile.h"
#include "common/numbers/failure.h"
#include "common/runs/budgetoutput.h"
#include "common/runs/orderedblocks.h"
#include "common/runs/runoutput.h"
#include "common/runs/sweep.h"
#include "python/links.h"
#include "python/sweepcolumns.h"
#include "python/values.h"

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>
#include <pybind11/stl/filesystem.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace py = pybind11;
using namespace pybind11::literals;

namespace vantero::python {
namespace {

const Calculator& calculatorNamed(const std::string& name) {
    if (const Calculator* calculator = findCalculator(name)) {
        return *calculator;
    }
    throw py::key_error(cli::unknownCalculatorMessage(name));
}

[[noreturn]] void unknownName(const Calculator& calculator, const std::string& name) {
    if (name.find('=') == std::string::npos) {
        try {
            (void)cli::resolveSetting(calculator, name + "=");
        } catch (const cli::UsageError& error) {
            throw py::key_error(error.what()); // names the inputs and the choices
        }
    }
    throw py::key_error(std::string(calculator.name()) + " has no input or choice \"" + name +
                        "\"; its inputs are " + cli::inputNames(calculator) + "; its choices are " +
                        cli::joined(calculator.choices(), &ChoiceDescription::name));
}

// Each keyword of `inputs`, resolved as --set NAME=VALUE is: every name and
// every value is checked before anything is run.
std::vector<cli::Setting> settingsOf(const Calculator& calculator, const py::dict& inputs) {
    std::vector<cli::Setting> settings;
    for (const auto& [key, value] : inputs) {
        const std::string name = py::str(key);
        if (name.find('=') != std::string::npos ||
            (!calculator.findInput(name) && !calculator.findChoice(name))) {
            unknownName(calculator, name);
        }
        settings.push_back(cli::resolveSetting(calculator, name + "=" + textOf(name, value)));
    }
    return settings;
}

std::unique_ptr<Session> sessionWith(const Calculator& calculator, const py::dict& inputs) {
    const std::vector<cli::Setting> settings = settingsOf(calculator, inputs);
    std::unique_ptr<Session> session = calculator.newSession();
    for (const cli::Setting& setting : settings) {
        cli::applySetting(*session, setting);
    }
    return session;
}

// One value rather than a sequence of them: a text, or anything that cannot
// be iterated.
bool isScalar(py::handle value) {
    return PyUnicode_Check(value.ptr()) || !py::isinstance<py::iterable>(value);
}

std::string calculateJson(const std::string& name, const py::object& at, const py::dict& inputs) {
    const Calculator& calculator = calculatorNamed(name);
    std::optional<std::vector<double>> lengths;
    if (!at.is_none()) {
        lengths.emplace();
        const py::list given = isScalar(at) ? py::list(py::make_tuple(at)) : py::list(at);
        for (const py::handle length : given) {
            lengths->push_back(cli::parseLength(textOf("at", length)));
        }
    }
    const std::unique_ptr<Session> session = sessionWith(calculator, inputs);
    const RunReport run = session->run();
    const std::vector<LinkBudgets> budgets =
        lengths ? budgetsAtLengths(*session, run, *lengths) : std::vector<LinkBudgets>();
    return runJson(*session, run, lengths ? &budgets : nullptr);
}

py::dict describe(const std::string& name) {
    const Calculator& calculator = calculatorNamed(name);
    py::dict inputs;
    for (const InputDescription& input : calculator.inputs()) {
        inputs[py::str(std::string(input.name))] = py::dict(
            py::arg("label") = input.trimmedLabel(), py::arg("unit") = input.unit,
            py::arg("initial") = input.initialText, py::arg("page") = pageTitle(input.page),
            py::arg("inProjectFile") = calculator.keptInProjectFile(input.name));
    }
    py::dict choices;
    for (const ChoiceDescription& choice : calculator.choices()) {
        py::dict items;
        for (std::size_t v = 0; v < choice.values.size(); ++v) {
            const int item = choice.itemOfValue(static_cast<int>(v));
            items[py::str(std::string(choice.values[v]))] =
                item < 0 ? choice.noItem : choice.items[static_cast<std::size_t>(item)];
        }
        choices[py::str(std::string(choice.name))] =
            py::dict(py::arg("caption") = choice.caption, py::arg("page") = pageTitle(choice.page),
                     py::arg("initial") = choice.values[static_cast<std::size_t>(choice.initial)],
                     py::arg("values") =
                         std::vector<std::string_view>(choice.values.begin(), choice.values.end()),
                     py::arg("items") = items, py::arg("note") = choice.note,
                     py::arg("inProjectFile") = calculator.keptInProjectFile(choice.name));
    }
    return py::dict(py::arg("name") = calculator.name(), py::arg("network") = calculator.network(),
                    py::arg("caption") = calculator.caption(),
                    py::arg("extension") = calculator.layout().extension,
                    py::arg("inputs") = inputs, py::arg("choices") = choices);
}

// The figures of a session as the JSON of a run gives them: every input's
// text and every choice's value.
py::dict figuresOf(const Session& session) {
    const Calculator& calculator = session.calculator();
    py::dict figures;
    for (std::size_t i = 0; i < calculator.inputs().size(); ++i) {
        figures[py::str(std::string(calculator.inputs()[i].name))] = session.text(i);
    }
    for (std::size_t i = 0; i < calculator.choices().size(); ++i) {
        const ChoiceDescription& choice = calculator.choices()[i];
        figures[py::str(std::string(choice.name))] =
            choice.values[static_cast<std::size_t>(session.choice(i))];
    }
    return figures;
}

py::dict openProjectFile(const std::filesystem::path& path) {
    for (const Calculator* calculator : calculators()) {
        if (isProjectPath(path.string(), calculator->layout().extension)) {
            const std::unique_ptr<Session> session = calculator->newSession();
            vantero::openProject(*session, path);
            return figuresOf(*session);
        }
    }
    throw py::value_error(path.string() + ": " + cannotOpenWarning + ".");
}

std::string saveProjectFile(const std::filesystem::path& path, const std::string& name,
                            const py::dict& inputs) {
    const Calculator& calculator = calculatorNamed(name);
    const std::unique_ptr<Session> session = sessionWith(calculator, inputs);
    const std::string saved = projectPathForSaving(path.string(), calculator.layout().extension);
    vantero::saveProject(*session, saved);
    return saved;
}

// The columns of a sweep, after the swept input's, in the order of the
// sweep's CSV.
py::dict columnsAfter(const std::string& input, const py::object& inputColumn,
                      const PointArrays& arrays) {
    py::dict result;
    result[py::str(input)] = inputColumn;
    arrays.addTo(result);
    return result;
}

// The values of a numeric sweep as an array of doubles: the values given,
// when they are one (the sweep reads them without the interpreter's lock, as
// numpy's own functions read their operands), else a converted copy.
py::array_t<double> numericValues(py::handle values) {
    // An iterator or a generator is read whole first.
    const bool sequence = py::isinstance<py::array>(values) || PySequence_Check(values.ptr());
    const py::module_ numpy = py::module_::import("numpy");
    const py::array given =
        numpy.attr("asarray")(sequence ? py::reinterpret_borrow<py::object>(values)
                                       : py::list(py::reinterpret_borrow<py::object>(values)));
    const char kind = given.dtype().kind();
    if (given.ndim() != 1 || (kind != 'i' && kind != 'u' && kind != 'f')) {
        throw py::type_error("the values of a sweep are a sequence of numbers, not " +
                             std::string(py::str(given.attr("dtype"))) + " in " +
                             std::to_string(given.ndim()) + " dimensions");
    }
    return numpy.attr("ascontiguousarray")(given, "dtype"_a = "float64");
}

py::dict sweepNumber(const Session& session, std::size_t input, py::handle values) {
    const py::array_t<double> points = numericValues(values);
    const auto count = static_cast<std::size_t>(points.size());
    PointArrays arrays(count);
    // The swept column is the sweep's own, written with the points.
    py::array_t<double> swept = numberColumn<double>(count);
    arrays.columns.input = swept.mutable_data();
    bool finished = false;
    {
        const py::gil_scoped_release unlocked;
        finished = sweepInto(session, input, {points.data(), count}, arrays.columns,
                             sweepWorkers(count, availableCores()), [] {
                                 const py::gil_scoped_acquire locked;
                                 return PyErr_CheckSignals() != 0;
                             });
    }
    if (!finished) {
        throw py::error_already_set(); // KeyboardInterrupt, say
    }
    return columnsAfter(std::string(session.calculator().inputs()[input].name), swept, arrays);
}

py::dict sweepChoice(const Session& session, std::size_t index, py::handle values) {
    const Calculator& calculator = session.calculator();
    const ChoiceDescription& choice = calculator.choices()[index];
    if (PyUnicode_Check(values.ptr())) {
        throw py::type_error("the values of a sweep of " + std::string(choice.name) +
                             " are a sequence of its values' names, not one text");
    }
    std::vector<int> chosen;
    py::list names;
    for (const py::handle value : py::list(py::reinterpret_borrow<py::object>(values))) {
        const std::string text = textOf(std::string(choice.name), value);
        chosen.push_back(
            cli::resolveSetting(calculator, std::string(choice.name) + "=" + text).value);
        names.append(choice.values[static_cast<std::size_t>(chosen.back())]);
    }
    PointArrays arrays(chosen.size());
    const std::unique_ptr<Session> own = session.copy();
    PointWriter writer(arrays.columns);
    for (std::size_t i = 0; i < chosen.size(); ++i) {
        writer.store(own->runWithChoice(index, chosen[i]), i);
    }
    return columnsAfter(std::string(choice.name),
                        py::module_::import("numpy").attr("array")(names, "dtype"_a = "O"), arrays);
}

py::dict sweep(const std::string& name, const std::string& input, py::handle values,
               const py::dict& inputs) {
    const Calculator& calculator = calculatorNamed(name);
    if (inputs.contains(input)) {
        throw py::value_error("the sweep gives " + input + " its values; leave " + input +
                              " out of the inputs");
    }
    const auto number = calculator.findInput(input);
    const auto choice = calculator.findChoice(input);
    if (!number && !choice) {
        unknownName(calculator, input);
    }
    const std::unique_ptr<Session> session = sessionWith(calculator, inputs);
    return number ? sweepNumber(*session, *number, values) : sweepChoice(*session, *choice, values);
}

py::dict links(const std::string& name, py::handle table, const py::dict& base) {
    const Calculator& calculator = calculatorNamed(name);
    const std::unique_ptr<Session> session = sessionWith(calculator, base);
    return linkColumns(*session, table, availableCores());
}

void raiseFileFailure(const FileFailure& failure) {
    if (failure.errorNumber() != 0) {
        // OSError picks its subclass by the number: FileNotFoundError, ...
        const py::tuple arguments =
            py::make_tuple(failure.errorNumber(), failure.text(), failure.path());
        PyErr_SetObject(PyExc_OSError, arguments.ptr());
        return;
    }
    const std::string place = failure.path().empty() ? "" : failure.path() + ": ";
    PyErr_SetString(PyExc_OSError, (place + failure.text() + ".").c_str());
}

PyObject* arithmeticError(FaultKind kind) {
    switch (kind) {
    case FaultKind::DivisionByZero:
        return PyExc_ZeroDivisionError;
    case FaultKind::Overflow:
        return PyExc_OverflowError;
    case FaultKind::InvalidOperation:
        break;
    }
    return PyExc_FloatingPointError;
}

// The failures of the core as Python's exceptions, each with the text the
// program shows (with its final full stop).
void translateFailures(std::exception_ptr thrown) {
    try {
        std::rethrow_exception(thrown);
    } catch (const FileFailure& failure) {
        raiseFileFailure(failure);
    } catch (const ArithmeticFault& fault) {
        PyErr_SetString(arithmeticError(fault.kind()), (fault.text() + ".").c_str());
    } catch (const Failure& failure) { // a text that is not a number, naming its input
        PyErr_SetString(PyExc_ValueError, (failureMessage(failure) + ".").c_str());
    } catch (const cli::UsageError& error) { // a choice's value, a length
        PyErr_SetString(PyExc_ValueError, error.what());
    }
}

} // namespace
} // namespace vantero::python

PYBIND11_MODULE(_core, module) {
    using namespace vantero;
    using namespace vantero::python;
    module.doc() = "The compiled part of the package vantero, which documents it.";
    module.attr("__version__") = VANTERO_VERSION;
    py::register_exception_translator(translateFailures);

    module.def("calculators", [] {
        std::vector<std::string_view> names;
        for (const Calculator* calculator : vantero::calculators()) {
            names.push_back(calculator->name());
        }
        return names;
    });
    module.def("describe", &describe, py::arg("name"));
    module.def("calculate_json", &calculateJson, py::arg("name"), py::arg("at"), py::arg("inputs"));
    module.def("sweep", &sweep, py::arg("name"), py::arg("input"), py::arg("values"),
               py::arg("inputs"));
    module.def("links", &links, py::arg("name"), py::arg("table"), py::arg("base"));
    module.def("open_project", &openProjectFile, py::arg("path"));
    module.def("save_project", &saveProjectFile, py::arg("path"), py::arg("name"),
               py::arg("inputs"));
    // How many bytes of columns that went are kept for the next ones.
    module.def("_kept_column_bytes", &keptColumnMemory);
    module.attr("_KEPT_COLUMN_BYTES_AT_MOST") = keptColumnBytes;
}
