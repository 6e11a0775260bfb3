#include "common/runs/runoutput.h"

#include "common/runs/budgetoutput.h"
#include "common/runs/json.h"

namespace vantero {

std::vector<LinkBudgets> budgetsAtLengths(const Session& session, const RunReport& run,
                                          std::span<const double> lengths) {
    std::vector<LinkBudgets> budgets;
    for (std::size_t i = 0; i < lengths.size() && !run.fault; ++i) {
        budgets.push_back(session.budgetsAt(lengths[i]));
        if (budgets.back().fault) {
            break;
        }
    }
    return budgets;
}

std::string runText(const RunReport& run) {
    std::string text;
    for (const RunOutput& printed : run.outputs) {
        text += printed.name;
        text += '\t';
        text += printed.output.text();
        text += '\n';
    }
    return text;
}

std::string runJson(const Session& session, const RunReport& run,
                    const std::vector<LinkBudgets>* at) {
    const Calculator& calculator = session.calculator();
    std::string json = "{\n  \"calculator\": ";
    appendJsonString(json, calculator.name());

    json += ",\n  \"inputs\": {";
    const char* separator = "\n    ";
    auto key = [&](std::string_view name) {
        json += separator;
        separator = ",\n    ";
        appendJsonString(json, name);
        json += ": ";
    };
    for (std::size_t i = 0; i < calculator.inputs().size(); ++i) {
        key(calculator.inputs()[i].name);
        appendJsonString(json, session.text(i));
    }
    for (std::size_t i = 0; i < calculator.choices().size(); ++i) {
        const ChoiceDescription& choice = calculator.choices()[i];
        key(choice.name);
        appendJsonString(json, choice.values[static_cast<std::size_t>(session.choice(i))]);
    }

    json += "\n  },\n  \"results\": {";
    separator = "\n    ";
    const Output* message = nullptr;
    for (const RunOutput& printed : run.outputs) {
        if (printed.kind == OutputKind::Message) {
            message = &printed.output;
            continue;
        }
        key(printed.name);
        json += '{';
        if (printed.output.isNumber()) {
            json += "\"value\": ";
            appendJsonNumber(json, printed.output.value());
            json += ", ";
        }
        json += "\"text\": ";
        appendJsonString(json, printed.output.text());
        json += '}';
    }

    json += "\n  },\n  \"message\": ";
    if (message != nullptr) {
        appendJsonString(json, message->text());
    } else {
        json += "null";
    }
    json += ",\n  \"fault\": ";
    if (run.fault) {
        appendJsonString(json, failureMessage(run.fault->failure()));
    } else {
        json += "null";
    }
    if (at != nullptr) {
        json += ",\n  \"at\": ";
        appendBudgetsJson(json, *at);
    }
    json += "\n}\n";
    return json;
}

std::string failureMessage(const Failure& failure) {
    const auto* number = dynamic_cast<const NumberFormatFailure*>(&failure);
    if (number != nullptr && !number->input().empty()) {
        return number->input() + ": " + failure.text();
    }
    return failure.text();
}

} // namespace vantero
