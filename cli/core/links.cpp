#include "cli/core/links.h"

#include "cli/core/arguments.h"
#include "common/linktable/linktable.h"
#include "common/numbers/failure.h"

#include <cerrno>
#include <vector>

namespace vantero::cli {

LinksTable::LinksTable(const Calculator& calculator, const std::string& path,
                       const std::function<const catalogue::Catalogue&()>& catalogue) {
    if (path == "-") {
        m_name = "standard input";
        m_file = stdin;
    } else {
        m_name = path;
        errno = 0;
        m_file = std::fopen(path.c_str(), "rb");
        if (m_file == nullptr) {
            throw FileFailure(errno != 0 ? errno : EIO, path);
        }
        m_owned = true;
    }
    m_reader.emplace([this](char* buffer, std::size_t size) {
        errno = 0;
        const std::size_t got = std::fread(buffer, 1, size, m_file);
        if (got == 0 && std::ferror(m_file)) {
            throw FileFailure(errno != 0 ? errno : EIO, m_name);
        }
        return got;
    });
    linktable::RowBuffer header;
    if (!m_reader->read(header)) {
        throw UsageError("--links " + m_name +
                         ": the table is empty; its first line names its columns");
    }
    if (!header.fault(0).empty()) {
        throw UsageError("--links " + m_name + ": line " + std::to_string(header.line(0)) + ": " +
                         std::string(header.fault(0)));
    }
    std::vector<std::string_view> names;
    header.cells(0, names);
    // Without a part column no part is looked up: the catalogue is not read.
    static const catalogue::Catalogue none;
    m_parts.emplace(calculator, linktable::PartColumns::named(names) ? catalogue() : none);
    try {
        m_columns.emplace(calculator, names, m_parts->extras());
    } catch (const linktable::ColumnError& error) {
        throw UsageError("--links " + m_name + ": " + error.what());
    }
}

LinksTable::~LinksTable() {
    if (m_owned) {
        std::fclose(m_file);
    }
}

linktable::LinkSummary LinksTable::run(const Session& base, bool json, const OutputSink& sink) {
    linktable::TableOptions options;
    options.format = json ? linktable::OutputFormat::JsonLines : linktable::OutputFormat::Csv;
    options.workers = linktable::tableWorkers();
    if (json) {
        // A JSON line is some thirty times a CSV row.
        options.blockRows = 256;
    }
    return linktable::runLinkTable(base, *m_columns, linktable::rowsOf(*m_reader), sink, options);
}

} // namespace vantero::cli
