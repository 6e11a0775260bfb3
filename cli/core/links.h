#pragma once

#include "calculators/registry.h"
#include "common/catalogue/catalogue.h"
#include "common/linktable/columns.h"
#include "common/linktable/csvreader.h"
#include "common/linktable/partcolumns.h"
#include "common/linktable/summary.h"
#include "common/runs/csvwriter.h"

#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace vantero::cli {

// The table of --links, opened, with its header read and its columns
// resolved against the calculator, the parts of the catalogue among them
// (`catalogue` gives it, read only for a table with a column fibre or
// transceiver). "-" is standard input. A file that cannot be read is a
// FileFailure naming it; a table with no header, or a header that cannot be
// read or names a column the calculator has not, or one column twice, is a
// usage error, before any link is computed.
class LinksTable {
public:
    LinksTable(const Calculator& calculator, const std::string& path,
               const std::function<const catalogue::Catalogue&()>& catalogue);
    ~LinksTable();
    LinksTable(const LinksTable&) = delete;
    LinksTable& operator=(const LinksTable&) = delete;

    // Runs every link from the figures of `base`, writing the CSV, or JSON
    // Lines, to `sink` as it goes; gives the summary of the table.
    linktable::LinkSummary run(const Session& base, bool json, const OutputSink& sink);

    // "standard input", or the path given.
    const std::string& name() const { return m_name; }

private:
    std::string m_name;
    std::FILE* m_file = nullptr;
    bool m_owned = false;
    std::optional<linktable::CsvReader> m_reader;
    std::optional<linktable::PartColumns> m_parts;
    std::optional<linktable::LinkColumns> m_columns;
};

} // namespace vantero::cli
