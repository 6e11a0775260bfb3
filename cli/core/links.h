#pragma once

#include "calculators/registry.h"
#include "common/linktable/columns.h"
#include "common/linktable/csvreader.h"
#include "common/runs/csvwriter.h"

#include <cstdio>
#include <memory>
#include <optional>
#include <string>

namespace vantero::cli {

// The table of --links, opened, with its header read and its columns
// resolved against the calculator. "-" is standard input. A file that cannot
// be read is a FileFailure naming it; a table with no header, or a header
// that cannot be read or names a column the calculator has not, or one column
// twice, is a usage error, before any link is computed.
class LinksTable {
public:
    LinksTable(const Calculator& calculator, const std::string& path);
    ~LinksTable();
    LinksTable(const LinksTable&) = delete;
    LinksTable& operator=(const LinksTable&) = delete;

    // Runs every link from the figures of `base`, writing the CSV, or JSON
    // Lines, to `sink` as it goes; gives the exit status: 0 when every link is
    // ok and meets both budgets at its length, 1 when one is not.
    int run(const Session& base, bool json, const OutputSink& sink);

private:
    std::string m_name;
    std::FILE* m_file = nullptr;
    bool m_owned = false;
    std::optional<linktable::CsvReader> m_reader;
    std::optional<linktable::LinkColumns> m_columns;
};

} // namespace vantero::cli
