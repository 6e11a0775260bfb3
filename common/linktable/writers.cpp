#include "common/linktable/writers.h"

#include "common/runs/json.h"
#include "common/runs/runoutput.h"

#include <charconv>
#include <vector>

namespace vantero::linktable {
namespace {

constexpr std::string_view distanceColumns =
    ",powerDistance,riseTimeDistance,maximumDistance,limitedBy,message";
constexpr std::string_view lengthColumns =
    ",length,powerMargin,riseTimeMargin,powerBudgetMet,riseTimeBudgetMet";

void putCount(CsvWriter& csv, std::size_t count) {
    char text[24];
    const auto end = std::to_chars(text, text + sizeof text, count).ptr;
    csv.put(std::string_view(text, static_cast<std::size_t>(end - text)));
}

void putMet(CsvWriter& csv, const std::optional<LinkBudgets>& budgets,
            bool (LinkBudgets::*met)() const) {
    csv.put(',');
    if (budgets && !budgets->fault) {
        csv.put((*budgets.*met)() ? std::string_view("yes") : std::string_view("no"));
    }
}

} // namespace

void writeCsvHeader(CsvWriter& csv, const LinkColumns& columns) {
    csv.put("row");
    if (columns.id()) {
        csv.put(",id");
    }
    csv.put(distanceColumns);
    if (columns.length()) {
        csv.put(lengthColumns);
    }
    csv.put(",status,error\n");
}

void writeCsvRow(CsvWriter& csv, const LinkColumns& columns, const LinkOutcome& outcome) {
    putCount(csv, outcome.row);
    if (columns.id()) {
        csv.put(',');
        csv.putText(outcome.id);
    }
    const bool ran = outcome.status != LinkStatus::Error;
    if (ran) {
        csv.putOutputs(outcome.point);
    } else {
        csv.put(",,,,,");
    }
    if (columns.length()) {
        const std::optional<LinkBudgets>& budgets = outcome.budgets;
        csv.put(',');
        csv.putNumber(outcome.length);
        csv.put(',');
        csv.putNumber(budgets ? budgets->powerMargin : std::nullopt);
        csv.put(',');
        csv.putNumber(budgets ? budgets->riseTimeMargin : std::nullopt);
        putMet(csv, budgets, &LinkBudgets::powerBudgetMet);
        putMet(csv, budgets, &LinkBudgets::riseTimeBudgetMet);
    }
    csv.put(',');
    csv.put(statusName(outcome.status));
    csv.put(',');
    csv.putText(outcome.error);
    csv.put('\n');
}

void appendOnOneLine(std::string& out, std::string_view json) {
    bool inString = false;
    bool escaped = false;
    for (std::size_t i = 0; i < json.size(); ++i) {
        const char c = json[i];
        if (inString) {
            inString = escaped || c != '"';
            escaped = !escaped && c == '\\';
        } else if (c == '\n') {
            while (i + 1 < json.size() && json[i + 1] == ' ') {
                ++i;
            }
            if (!out.empty() && out.back() == ',') {
                out += ' ';
            }
            continue;
        } else {
            inString = c == '"';
        }
        out += c;
    }
}

void appendJsonLine(std::string& out, const Session& session, const LinkColumns& columns,
                    const LinkOutcome& outcome) {
    out += "{\"row\": ";
    char text[24];
    out.append(text, std::to_chars(text, text + sizeof text, outcome.row).ptr);
    out += ", \"id\": ";
    if (columns.id()) {
        appendJsonString(out, outcome.id);
    } else {
        out += "null";
    }
    out += ", \"status\": ";
    appendJsonString(out, statusName(outcome.status));
    out += ", \"error\": ";
    if (outcome.status == LinkStatus::Ok) {
        out += "null";
    } else {
        appendJsonString(out, outcome.error);
    }
    if (outcome.status == LinkStatus::Error || !outcome.outputs) {
        out += "}\n";
        return;
    }
    std::vector<LinkBudgets> at;
    if (outcome.budgets) {
        at.push_back(*outcome.budgets);
    }
    const std::string object = runJson(session, *outcome.outputs, columns.length() ? &at : nullptr);
    // The object's members after the opening brace.
    out += ", ";
    appendOnOneLine(out, std::string_view(object).substr(object.find('"')));
    out += '\n';
}

} // namespace vantero::linktable
