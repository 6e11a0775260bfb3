#pragma once

#include "common/linktable/columns.h"
#include "common/linktable/evaluation.h"
#include "common/runs/csvwriter.h"

#include <string>
#include <string_view>

namespace vantero::linktable {

// The outcomes of a table of links, one row or one line per link.

// The CSV header: row, id when the table has it, the columns of a sweep
// (powerDistance, riseTimeDistance, maximumDistance, limitedBy, message),
// with a length column length, powerMargin, riseTimeMargin, powerBudgetMet
// and riseTimeBudgetMet, then status and error.
void writeCsvHeader(CsvWriter& csv, const LinkColumns& columns);

// One CSV row, its cells written as the sweep writes them: numbers in their
// shortest form that reads back as the same double, an empty cell for what
// the link did not give (a row in error gives only row, id, status and
// error); the budgets met "yes" or "no", empty without whole budgets.
void writeCsvRow(CsvWriter& csv, const LinkColumns& columns, const LinkOutcome& outcome);

// One line of JSON: {"row", "id" (null without an id column), "status",
// "error" (null when ok)}, and, for a link that ran, after them the keys of
// the object of `vantero --json` for the link's figures (`session`) and
// outputs (the outcome's), with "at" when the table has a length column (an
// array of the budgets at the row's length, empty without one).
void appendJsonLine(std::string& out, const Session& session, const LinkColumns& columns,
                    const LinkOutcome& outcome);

// A JSON text on one line: its line breaks and indentation left out, a blank
// after each comma between members.
void appendOnOneLine(std::string& out, std::string_view json);

} // namespace vantero::linktable
