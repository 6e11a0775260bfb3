#include "common/linktable/partcolumns.h"

#include <algorithm>
#include <mutex>

namespace vantero::linktable {

PartColumn::PartColumn(const Calculator& calculator, const catalogue::Catalogue& catalogue,
                       PartKind kind)
    : m_calculator(&calculator), m_catalogue(&catalogue), m_kind(kind) {
    for (const PartInput& row : calculator.partInputs()) {
        if (partKindOf(row.figure) != kind) {
            continue;
        }
        const auto add = [](std::vector<std::size_t>& list, std::size_t index) {
            if (std::find(list.begin(), list.end(), index) == list.end()) {
                list.push_back(index);
            }
        };
        if (const auto input = calculator.findInput(row.input)) {
            add(m_inputs, *input);
        } else {
            add(m_choices, calculator.findChoice(row.input).value());
        }
    }
}

std::string_view PartColumn::name() const {
    return catalogue::kindName(m_kind);
}

PartColumn::Planned PartColumn::plan(std::string_view cell) const {
    Planned planned;
    catalogue::PartRequest request;
    try {
        request = catalogue::parsePartName(m_kind, cell);
    } catch (const catalogue::CatalogueError& error) {
        planned.error = "\"" + std::string(cell) + "\": " + error.what();
        return planned;
    }
    try {
        planned.use = catalogue::planPartUse(
            *m_calculator, catalogue::findPart(*m_catalogue, request), request.wavelength);
    } catch (const catalogue::CatalogueError& error) {
        planned.error = error.what();
    }
    return planned;
}

void PartColumn::apply(Session& session, std::string_view cell) const {
    std::shared_ptr<const Planned> planned;
    {
        const std::shared_lock lock(m_mutex);
        if (const auto found = m_planned.find(cell); found != m_planned.end()) {
            planned = found->second;
        }
    }
    if (!planned) {
        planned = std::make_shared<const Planned>(plan(cell));
        const std::unique_lock lock(m_mutex);
        if (m_planned.size() < keptCells) {
            m_planned.emplace(std::string(cell), planned);
        }
    }
    if (!planned->use) {
        throw CellError(planned->error);
    }
    catalogue::applyPartUse(session, *planned->use);
}

PartColumns::PartColumns(const Calculator& calculator, const catalogue::Catalogue& catalogue) {
    for (const PartKind kind : {PartKind::Fibre, PartKind::Transceiver}) {
        auto column = std::make_unique<PartColumn>(calculator, catalogue, kind);
        if (!column->inputs().empty() || !column->choices().empty()) {
            m_extras.push_back(column.get());
            m_columns.push_back(std::move(column));
        }
    }
}

bool PartColumns::named(std::span<const std::string_view> header) {
    return std::any_of(header.begin(), header.end(), [](std::string_view name) {
        return catalogue::kindNamed(name).has_value();
    });
}

} // namespace vantero::linktable
