// Any bytes read as a table of links: the CSV reader gives the same rows
// however the bytes come, the rows written back as CSV read again the same,
// and the first row as a header is either refused or gives columns (the
// parts of the shipped catalogue among them) under which every row runs,
// with an error for a row of the wrong width.

#include "calculators/registry.h"
#include "common/catalogue/locations.h"
#include "common/linktable/columns.h"
#include "common/linktable/csvreader.h"
#include "common/linktable/evaluation.h"
#include "common/linktable/partcolumns.h"
#include "fuzz/check.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

using vantero::fuzz::check;

namespace {

using namespace vantero;
using namespace vantero::linktable;


// Every row of `bytes`, handed over `chunk` bytes at a time through a buffer
// of `buffer` bytes.
RowBuffer readAll(std::string_view bytes, std::size_t chunk, std::size_t buffer) {
    CsvReader reader(textSource(bytes, chunk), buffer);
    RowBuffer rows;
    while (reader.read(rows)) {
    }
    return rows;
}

bool sameRows(const RowBuffer& a, const RowBuffer& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t r = 0; r < a.size(); ++r) {
        if (a.line(r) != b.line(r) || a.fault(r) != b.fault(r) ||
            a.cellCount(r) != b.cellCount(r)) {
            return false;
        }
        for (std::size_t c = 0; c < a.cellCount(r); ++c) {
            if (a.cell(r, c) != b.cell(r, c)) {
                return false;
            }
        }
    }
    return true;
}

// The shipped catalogue of the source tree, read once.
const catalogue::Catalogue& shipped() {
    static const catalogue::Catalogue parts = catalogue::folderCatalogue(VANTERO_SHIPPED_SOURCE);
    return parts;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const RowBuffer rows = readAll(bytes, 1 << 20, 1 << 16);
    check(sameRows(rows, readAll(bytes, 1, 1)));
    check(sameRows(rows, readAll(bytes, 3, 17)));

    // The rows read whole, written back with every cell quoted, read the
    // same.
    std::string written;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        check(r == 0 || rows.line(r) > rows.line(r - 1));
        if (!rows.fault(r).empty()) {
            check(rows.cellCount(r) == 0);
            continue;
        }
        for (std::size_t c = 0; c < rows.cellCount(r); ++c) {
            written += c == 0 ? "\"" : ",\"";
            for (const char ch : rows.cell(r, c)) {
                written += ch == '"' ? "\"\"" : std::string(1, ch);
            }
            written += '"';
        }
        written += "\r\n";
    }
    const RowBuffer again = readAll(written, 1 << 20, 1 << 16);
    for (std::size_t r = 0, a = 0; r < rows.size(); ++r) {
        if (!rows.fault(r).empty()) {
            continue;
        }
        check(a < again.size() && again.fault(a).empty());
        check(again.cellCount(a) == rows.cellCount(r));
        for (std::size_t c = 0; c < rows.cellCount(r); ++c) {
            check(again.cell(a, c) == rows.cell(r, c));
        }
        ++a;
    }

    // The first row as the header of each calculator's table.
    if (rows.empty() || !rows.fault(0).empty()) {
        return 0;
    }
    std::vector<std::string_view> header;
    rows.cells(0, header);
    for (const Calculator* calculator : calculators()) {
        try {
            const PartColumns parts(*calculator, shipped());
            const LinkColumns columns(*calculator, header, parts.extras());
            const std::unique_ptr<Session> base = calculator->newSession();
            LinkEvaluator evaluator(*base, columns);
            std::vector<std::string_view> cells;
            for (std::size_t r = 1; r < rows.size() && r < 64; ++r) {
                rows.cells(r, cells);
                const LinkOutcome& o = evaluator.evaluate({r, rows.line(r), cells, rows.fault(r)});
                check(o.row == r);
                check((o.status == LinkStatus::Ok) == o.error.empty());
                if (cells.size() != header.size()) {
                    check(o.status == LinkStatus::Error);
                }
            }
        } catch (const ColumnError& error) {
            check(std::strlen(error.what()) > 0);
        }
    }
    return 0;
}
