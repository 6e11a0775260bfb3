#pragma once

#include "common/calculator/calculator.h"
#include "common/linktable/columns.h"
#include "common/linktable/csvreader.h"
#include "common/linktable/summary.h"
#include "common/runs/csvwriter.h"

#include <cstddef>
#include <functional>

namespace vantero::linktable {

// A table of links in, every verdict and margin out: the rows of a table run
// as links, in blocks spread over threads, their output written in the
// table's order as it comes.

enum class OutputFormat {
    Csv,       // a header, then a row per link (writeCsvRow)
    JsonLines, // a line per link (appendJsonLine)
};

struct TableOptions {
    OutputFormat format = OutputFormat::Csv;
    // The threads the links run on (at most this many; 0 or 1: the calling
    // thread alone).
    unsigned workers = 1;
    // Rows a block (fewer when their cells take more than blockBytes).
    std::size_t blockRows = 4096;
    std::size_t blockBytes = std::size_t{1} << 20;
};

// Where the rows of a table come from, on the calling thread: appends up to
// `maxRows` rows, or rows of up to about `maxBytes` bytes, to `rows`; false
// when there are no more.
using RowSource = std::function<bool(RowBuffer& rows, std::size_t maxRows, std::size_t maxBytes)>;

// The rows of a CSV table after its header.
RowSource rowsOf(CsvReader& reader);

// Runs every row of the table from `base` (LinkEvaluator) and writes their
// outcomes to `sink`, in the table's order, as they come: the CSV header and
// rows, or JSON Lines. Each of the threads works on copies of the base; a
// failure (memory running out, or one of `rows` or `sink`) stops them all and
// is thrown here. Gives the summary of the table.
LinkSummary runLinkTable(const Session& base, const LinkColumns& columns, const RowSource& rows,
                         const OutputSink& sink, const TableOptions& options = {});

// The threads a table is worth: as many as the machine runs at once, at most
// eight.
unsigned tableWorkers();

} // namespace vantero::linktable
