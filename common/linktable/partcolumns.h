#pragma once

#include "common/calculator/calculator.h"
#include "common/catalogue/catalogue.h"
#include "common/catalogue/partuse.h"
#include "common/linktable/columns.h"

#include <cstddef>
#include <memory>
#include <shared_mutex>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace vantero::linktable {

// The columns `fibre` and `transceiver` of a table of links: each cell names
// a part of the catalogue as --use does, "NAME@WAVELENGTH" (nm) for a fibre
// and "NAME" for a transceiver, and sets the inputs the part gives the
// calculator, as --use sets them. A part the catalogue lacks, or a wavelength
// the fibre has no figures at, is the row's error.
class PartColumn final : public ExtraColumn {
public:
    // The catalogue must outlive the column.
    PartColumn(const Calculator& calculator, const catalogue::Catalogue& catalogue, PartKind kind);

    std::string_view name() const override;
    std::span<const std::size_t> inputs() const override { return m_inputs; }
    std::span<const std::size_t> choices() const override { return m_choices; }
    void apply(Session& session, std::string_view cell) const override;

    // How many different cells the column keeps worked out: a table names a
    // few parts many times over.
    static constexpr std::size_t keptCells = 1024;

private:
    // What a cell comes to: the part's use, or what is wrong with the cell.
    struct Planned {
        std::optional<catalogue::PartUse> use;
        std::string error;
    };
    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const {
            return std::hash<std::string_view>{}(text);
        }
    };
    Planned plan(std::string_view cell) const;

    const Calculator* m_calculator;
    const catalogue::Catalogue* m_catalogue;
    PartKind m_kind;
    std::vector<std::size_t> m_inputs;
    std::vector<std::size_t> m_choices;
    // The cells worked out so far, shared by the threads.
    mutable std::shared_mutex m_mutex;
    mutable std::unordered_map<std::string, std::shared_ptr<const Planned>, Hash, std::equal_to<>>
        m_planned;
};

// The part columns of a table of a calculator: one for each kind of part its
// mapping takes, fibre first.
class PartColumns {
public:
    PartColumns(const Calculator& calculator, const catalogue::Catalogue& catalogue);

    std::span<const ExtraColumn* const> extras() const { return m_extras; }
    // Whether a header names one of them, and so needs the catalogue.
    static bool named(std::span<const std::string_view> header);

private:
    std::vector<std::unique_ptr<PartColumn>> m_columns;
    std::vector<const ExtraColumn*> m_extras;
};

} // namespace vantero::linktable
