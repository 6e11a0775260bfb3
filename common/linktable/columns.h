#pragma once

#include "common/calculator/calculator.h"

#include <cstddef>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace vantero::linktable {

// What the columns of a table of links are: each is named by an input or a
// choice of the calculator (the names of --help), or is `id` (any text,
// copied to the output) or `length` (km: both budgets at that length), or is
// one of the extra columns a caller adds.

// A cell that a column cannot take: what is wrong with it, without the
// column's name, which the link's error puts before it.
class CellError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A column that sets several figures of a link from one cell (a part from a
// catalogue, say). Its functions are called on several threads at once, each
// with a session of its own.
class ExtraColumn {
public:
    virtual ~ExtraColumn() = default;
    virtual std::string_view name() const = 0;
    // The inputs and choices it may set, by their index in the calculator's
    // descriptions: a link whose cell is empty takes them from the base.
    virtual std::span<const std::size_t> inputs() const = 0;
    virtual std::span<const std::size_t> choices() const = 0;
    // Sets the figures of a non-empty cell; a cell it does not know throws
    // CellError.
    virtual void apply(Session& session, std::string_view cell) const = 0;
};

enum class ColumnKind { Input, Choice, Id, Length, Extra };

struct LinkColumn {
    std::string name;
    ColumnKind kind;
    // The input or the choice in the calculator's descriptions, or the extra
    // column in the list given.
    std::size_t index = 0;
};

// A header that names a column no table of the calculator has, or one column
// twice: a usage error, before any link is computed. Its text names the
// column and the valid names.
class ColumnError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

inline constexpr std::string_view idColumn = "id";
inline constexpr std::string_view lengthColumn = "length";

// The columns of a table, read from its header.
class LinkColumns {
public:
    // Names are matched exactly, as --set matches them. Throws ColumnError.
    LinkColumns(const Calculator& calculator, std::span<const std::string_view> header,
                std::span<const ExtraColumn* const> extras = {});

    const Calculator& calculator() const { return *m_calculator; }
    std::span<const LinkColumn> columns() const { return m_columns; }
    std::size_t size() const { return m_columns.size(); }
    // Where `id` and `length` stand, when the table has them.
    std::optional<std::size_t> id() const { return m_id; }
    std::optional<std::size_t> length() const { return m_length; }
    const ExtraColumn& extra(const LinkColumn& column) const { return *m_extras[column.index]; }

    // The names a column may have: "id, length, the inputs a, b and the
    // choices c, d" (and the extra columns).
    static std::string validNames(const Calculator& calculator,
                                  std::span<const ExtraColumn* const> extras = {});

private:
    const Calculator* m_calculator;
    std::vector<LinkColumn> m_columns;
    std::vector<const ExtraColumn*> m_extras;
    std::optional<std::size_t> m_id;
    std::optional<std::size_t> m_length;
};

} // namespace vantero::linktable
