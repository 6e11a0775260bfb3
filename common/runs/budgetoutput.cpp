#include "common/runs/budgetoutput.h"

#include "common/numbers/formatting.h"
#include "common/runs/json.h"
#include "common/runs/report.h"

namespace vantero {

std::string budgetsText(const LinkBudgets& budgets) {
    std::string text;
    auto line = [&](std::string_view name, std::string_view value) {
        text += name;
        text += '\t';
        text += value;
        text += '\n';
    };
    line("at", formatResult(budgets.distance));
    for (const auto* terms : {&budgets.powerTerms, &budgets.riseTimeTerms}) {
        for (const BudgetTerm& term : *terms) {
            line(term.name, formatResult(term.value));
        }
    }
    if (budgets.fault) {
        return text;
    }
    line("powerMargin", formatResult(*budgets.powerMargin));
    line("riseTimeMargin", formatResult(*budgets.riseTimeMargin));
    line("powerBudgetMet", budgets.powerBudgetMet() ? "yes" : "no");
    line("riseTimeBudgetMet", budgets.riseTimeBudgetMet() ? "yes" : "no");
    return text;
}

namespace {

void appendTerms(std::string& json, const std::vector<BudgetTerm>& terms) {
    json += '[';
    for (std::size_t i = 0; i < terms.size(); ++i) {
        json += i == 0 ? "\n        {\"name\": " : ",\n        {\"name\": ";
        appendJsonString(json, terms[i].name);
        json += ", \"value\": ";
        appendJsonNumber(json, terms[i].value);
        json += ", \"unit\": ";
        appendJsonString(json, terms[i].unit);
        json += '}';
    }
    json += terms.empty() ? "]" : "\n      ]";
}

void appendOptional(std::string& json, const std::optional<double>& value) {
    if (value) {
        appendJsonNumber(json, *value);
    } else {
        json += "null";
    }
}

} // namespace

void appendBudgetsJson(std::string& json, std::span<const LinkBudgets> lengths) {
    json += '[';
    for (std::size_t i = 0; i < lengths.size(); ++i) {
        const LinkBudgets& b = lengths[i];
        json += i == 0 ? "\n    {" : ",\n    {";
        json += "\n      \"distance\": ";
        appendJsonNumber(json, b.distance);
        json += ",\n      \"powerTerms\": ";
        appendTerms(json, b.powerTerms);
        json += ",\n      \"riseTimeTerms\": ";
        appendTerms(json, b.riseTimeTerms);
        json += ",\n      \"powerMargin\": ";
        appendOptional(json, b.powerMargin);
        json += ",\n      \"riseTimeMargin\": ";
        appendOptional(json, b.riseTimeMargin);
        json += ",\n      \"powerBudgetMet\": ";
        json += !b.fault && b.powerBudgetMet() ? "true" : "false";
        json += ",\n      \"riseTimeBudgetMet\": ";
        json += !b.fault && b.riseTimeBudgetMet() ? "true" : "false";
        json += ",\n      \"fault\": ";
        if (b.fault) {
            appendJsonString(json, failureMessage(b.fault->failure()));
        } else {
            json += "null";
        }
        json += "\n    }";
    }
    json += lengths.empty() ? "]" : "\n  ]";
}

} // namespace vantero
