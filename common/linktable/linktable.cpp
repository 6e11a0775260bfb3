#include "common/linktable/linktable.h"

#include "common/linktable/evaluation.h"
#include "common/runs/orderedblocks.h"
#include "common/linktable/writers.h"

#include <algorithm>
#include <memory>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace vantero::linktable {
namespace {

// Rows read and not yet run, and the number of the first.
struct RowBlock {
    RowBuffer rows;
    std::size_t firstRow = 0;
};

// What a block gives: its output and its summary.
struct BlockOutput {
    std::string text;
    LinkSummary summary;
};

// Room for a CSV row of a dozen numbers and a short id; JSON takes more,
// and the text grows for it.
constexpr std::size_t typicalRowBytes = 160;

} // namespace

RowSource rowsOf(CsvReader& reader) {
    return [&reader](RowBuffer& rows, std::size_t maxRows, std::size_t maxBytes) {
        return reader.readBlock(rows, maxRows, maxBytes);
    };
}

unsigned tableWorkers() {
    return std::clamp(std::thread::hardware_concurrency(), 1U, 8U);
}

LinkSummary runLinkTable(const Session& base, const LinkColumns& columns, const RowSource& rows,
                         const OutputSink& sink, const TableOptions& options) {
    const bool json = options.format == OutputFormat::JsonLines;
    LinkSummary summary;
    summary.setBase(base);
    if (!json) {
        CsvWriter csv(sink, 256);
        writeCsvHeader(csv, columns);
        csv.finish();
    }

    std::size_t nextRow = 1;
    const std::function<bool(RowBlock&)> read = [&](RowBlock& block) {
        block.rows.clear();
        block.firstRow = nextRow;
        if (!rows(block.rows, options.blockRows, options.blockBytes)) {
            return false;
        }
        nextRow += block.rows.size();
        return true;
    };
    const std::function<std::function<void(RowBlock&, BlockOutput&)>()> makeWork = [&] {
        auto evaluator = std::make_shared<LinkEvaluator>(base, columns);
        auto cells = std::make_shared<std::vector<std::string_view>>();
        return std::function<void(RowBlock&, BlockOutput&)>(
            [&columns, json, evaluator, cells](RowBlock& block, BlockOutput& output) {
                output.text.clear();
                output.text.reserve(block.rows.size() * typicalRowBytes);
                output.summary = LinkSummary();
                CsvWriter csv([&output](std::string_view bytes) { output.text.append(bytes); },
                              std::size_t{1} << 16);
                for (std::size_t r = 0; r < block.rows.size(); ++r) {
                    block.rows.cells(r, *cells);
                    const TableRow row{block.firstRow + r, block.rows.line(r), *cells,
                                       block.rows.fault(r)};
                    const LinkOutcome& outcome = evaluator->evaluate(row, json);
                    if (json) {
                        appendJsonLine(output.text, evaluator->session(), columns, outcome);
                    } else {
                        writeCsvRow(csv, columns, outcome);
                    }
                    output.summary.add(outcome);
                }
                csv.finish();
            });
    };
    const std::function<void(BlockOutput&)> consume = [&](BlockOutput& output) {
        sink(output.text);
        summary.merge(output.summary);
    };
    BlockThreads threads;
    threads.workers = options.workers;
    threads.ahead = 2 * std::max(1U, options.workers);
    runOrderedBlocks<RowBlock, BlockOutput>(threads, read, makeWork, consume);
    return summary;
}

} // namespace vantero::linktable
