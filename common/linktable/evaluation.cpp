#include "common/linktable/evaluation.h"

#include "common/numbers/failure.h"
#include "common/runs/runoutput.h"

namespace vantero::linktable {
namespace {

std::string quoted(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

std::string linePrefix(const TableRow& row) {
    return row.line == 0 ? std::string() : "line " + std::to_string(row.line) + ": ";
}

} // namespace

std::string_view statusName(LinkStatus status) {
    switch (status) {
    case LinkStatus::Ok:
        break;
    case LinkStatus::Fault:
        return "fault";
    case LinkStatus::Error:
        return "error";
    }
    return "ok";
}

LinkEvaluator::LinkEvaluator(const Session& base, const LinkColumns& columns)
    : m_columns(columns), m_base(base.copy()), m_link(base.copy()), m_changed(columns.size(), 0) {}

bool LinkEvaluator::fail(std::string message) {
    m_outcome.status = LinkStatus::Error;
    m_outcome.error = std::move(message);
    return false;
}

void LinkEvaluator::restore(std::size_t column) {
    if (!m_changed[column]) {
        return;
    }
    m_changed[column] = 0;
    const LinkColumn& c = m_columns.columns()[column];
    const auto restoreInput = [&](std::size_t input) {
        m_link->setText(input, m_base->text(input));
    };
    const auto restoreChoice = [&](std::size_t choice) {
        m_link->setChoice(choice, m_base->choice(choice));
    };
    if (c.kind == ColumnKind::Input) {
        restoreInput(c.index);
    } else if (c.kind == ColumnKind::Choice) {
        restoreChoice(c.index);
    } else if (c.kind == ColumnKind::Extra) {
        const ExtraColumn& extra = m_columns.extra(c);
        for (const std::size_t input : extra.inputs()) {
            restoreInput(input);
        }
        for (const std::size_t choice : extra.choices()) {
            restoreChoice(choice);
        }
    }
}

bool LinkEvaluator::apply(std::size_t column, std::string_view cell) {
    const LinkColumn& c = m_columns.columns()[column];
    if (c.kind == ColumnKind::Id || cell.empty()) {
        return true;
    }
    switch (c.kind) {
    case ColumnKind::Length: {
        // As --at reads its length.
        const NumberText length(cell);
        if (!length.isNumber() && !length.overflows()) {
            return fail(failureMessage(NumberFormatFailure(std::string(cell), c.name)));
        }
        if (!length.isNumber() || !(length.value() >= 0)) {
            return fail(c.name + ": " + quoted(cell) +
                        " is not a length of fibre in km, 0 or more");
        }
        m_outcome.length = static_cast<double>(length.value());
        return true;
    }
    case ColumnKind::Input: {
        m_changed[column] = 1;
        m_link->setText(c.index, cell);
        // As --set takes it: a number beyond a double is left to the run,
        // which faults on it.
        const NumberText& text = m_link->number(c.index);
        if (!text.isNumber() && !text.overflows()) {
            return fail(failureMessage(NumberFormatFailure(std::string(cell), c.name)));
        }
        return true;
    }
    case ColumnKind::Choice: {
        const ChoiceDescription& choice = m_columns.calculator().choices()[c.index];
        const std::optional<int> value = findChoiceValue(choice, cell);
        if (!value) {
            // As --set words it.
            std::string message = c.name + " is one of ";
            for (std::size_t v = 0; v < choice.values.size(); ++v) {
                message += v == 0 ? "" : ", ";
                message += choice.values[v];
            }
            return fail(message + ", not " + quoted(cell));
        }
        m_changed[column] = 1;
        m_link->setChoice(c.index, *value);
        return true;
    }
    case ColumnKind::Extra:
        m_changed[column] = 1;
        try {
            m_columns.extra(c).apply(*m_link, cell);
        } catch (const CellError& error) {
            return fail(c.name + ": " + error.what());
        }
        return true;
    case ColumnKind::Id:
        break;
    }
    return true;
}

const LinkOutcome& LinkEvaluator::evaluate(const TableRow& row, bool outputs) {
    LinkOutcome& o = m_outcome;
    o.row = row.number;
    o.id = {};
    o.status = LinkStatus::Ok;
    o.error.clear();
    o.point = {};
    o.length.reset();
    o.budgets.reset();
    o.outputs.reset();
    if (const auto id = m_columns.id(); id && *id < row.cells.size()) {
        o.id = row.cells[*id];
    }
    if (!row.fault.empty()) {
        fail(linePrefix(row) + std::string(row.fault));
        return o;
    }
    if (row.cells.size() != m_columns.size()) {
        fail(linePrefix(row) + std::to_string(row.cells.size()) +
             (row.cells.size() == 1 ? " cell" : " cells") + " where the header has " +
             std::to_string(m_columns.size()));
        return o;
    }
    // The figures of the base where a cell is empty, and where an extra
    // column's cell may set fewer than all of those it sets; then the extra
    // columns' cells (a part sets several figures at once), then the others,
    // in the order of the columns: a cell of an input or a choice wins over
    // a part, as --set wins over --use. So no row takes a figure from the
    // rows before it.
    for (std::size_t c = 0; c < row.cells.size(); ++c) {
        if (row.cells[c].empty() || m_columns.columns()[c].kind == ColumnKind::Extra) {
            restore(c);
        }
    }
    for (const bool extras : {true, false}) {
        for (std::size_t c = 0; c < row.cells.size(); ++c) {
            if ((m_columns.columns()[c].kind == ColumnKind::Extra) == extras &&
                !apply(c, row.cells[c])) {
                o.length.reset();
                return o;
            }
        }
    }
    if (outputs) {
        o.outputs.emplace();
        o.point = m_link->runPoint(*o.outputs);
    } else {
        o.point = m_link->runPoint();
    }
    if (o.point.fault) {
        o.status = LinkStatus::Fault;
        o.error = failureMessage(o.point.fault->failure());
        return o;
    }
    if (o.length) {
        o.budgets = m_link->budgetsAt(*o.length);
        if (o.budgets->fault) {
            o.status = LinkStatus::Fault;
            o.error = failureMessage(o.budgets->fault->failure());
        }
    }
    return o;
}

} // namespace vantero::linktable
