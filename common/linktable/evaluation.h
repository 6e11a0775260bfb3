#pragma once

#include "common/calculator/calculator.h"
#include "common/linktable/columns.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vantero::linktable {

// One row of a table of links: its cells in the order of the columns.
struct TableRow {
    std::size_t number = 0; // the data row, from 1
    std::size_t line = 0;   // the line of the file it starts on; 0 for none
    std::span<const std::string_view> cells;
    // What is wrong with a row the reader could not read; empty for none.
    std::string_view fault;
};

// ok: the link ran, and so did its budgets at its length; fault: an
// arithmetic fault of the run or of its budgets; error: a row that could not
// be read, or a cell that is not a number or not a value of its choice.
enum class LinkStatus { Ok, Fault, Error };

std::string_view statusName(LinkStatus status);

// What one row gives.
struct LinkOutcome {
    std::size_t row = 0;
    std::string_view id; // the id cell, a view into the row's cells
    LinkStatus status = LinkStatus::Ok;
    // Of a fault or an error, the message, naming the column of a bad cell
    // (`connectorLoss: "0,5" não é um número válido`); empty when ok.
    std::string error;
    // The run's distances, limit, rise-time message and fault (none for an
    // error).
    SweepPoint point;
    // The length of the row, when it gives one (none for an error).
    std::optional<double> length;
    // Both budgets at the length, when the run went through.
    std::optional<LinkBudgets> budgets;
    // The run's outputs in their order, when they are asked for.
    std::optional<RunReport> outputs;

    // The budgets at the length, whole, and both met.
    bool meetsBothBudgets() const {
        return budgets && !budgets->fault && budgets->powerBudgetMet() &&
               budgets->riseTimeBudgetMet();
    }
    // The budgets at the length, whole, and one of them (or both) not met.
    bool failsABudget() const {
        return budgets && !budgets->fault &&
               (!budgets->powerBudgetMet() || !budgets->riseTimeBudgetMet());
    }
};

// Runs the rows of a table, one after another, each from the base: a copy of
// the base's figures where the row's non-empty cells of extra columns set
// their figures (a part's, as --use does) and then the other cells, in the
// order of the columns, replace an input's text (by the fields' number
// rules) or set a choice (its value's name in either case), then the run
// and, with a length, both budgets at that length, as `vantero --use ...
// --set ... --at` runs one link. The first bad cell in that order ends the
// row with an error that names its column. Each evaluator works on copies of
// its own; give each thread one.
class LinkEvaluator {
public:
    LinkEvaluator(const Session& base, const LinkColumns& columns);

    // The outcome of one row, good until the next. With `outputs`, the run's
    // outputs as well.
    const LinkOutcome& evaluate(const TableRow& row, bool outputs = false);
    // The figures of the last row evaluated.
    const Session& session() const { return *m_link; }
    const LinkColumns& columns() const { return m_columns; }

private:
    // Sets the link's figures from one cell; false, with the outcome's error
    // set, for a cell that is not one.
    bool apply(std::size_t column, std::string_view cell);
    void restore(std::size_t column);
    bool fail(std::string message);

    const LinkColumns& m_columns;
    std::unique_ptr<Session> m_base;
    std::unique_ptr<Session> m_link;
    // The columns whose figures may differ from the base's.
    std::vector<char> m_changed;
    LinkOutcome m_outcome;
};

} // namespace vantero::linktable
