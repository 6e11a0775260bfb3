#include "calculators/registry.h"
#include "common/linktable/linktable.h"
#include "common/linktable/orderedblocks.h"
#include "common/numbers/failure.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace vantero::linktable {
namespace {

// Blocks of numbers, squared on the worker threads.
struct Squares {
    std::vector<long> in;
    std::vector<long> out;
    std::size_t readAhead = 0; // blocks read and not consumed, at most
    std::vector<long> consumed;

    void run(BlockThreads threads, std::size_t blocks, std::size_t failAt = 0) {
        std::size_t read = 0;
        std::size_t taken = 0;
        runOrderedBlocks<std::vector<long>, std::vector<long>>(
            threads,
            [&](std::vector<long>& block) {
                if (read == blocks) {
                    return false;
                }
                block.assign({static_cast<long>(read) * 2, static_cast<long>(read) * 2 + 1});
                readAhead = std::max(readAhead, ++read - taken);
                return true;
            },
            [failAt] {
                return [failAt](std::vector<long>& block, std::vector<long>& result) {
                    result.clear();
                    for (const long n : block) {
                        if (failAt != 0 && n == static_cast<long>(failAt)) {
                            throw std::runtime_error("no square for you");
                        }
                        result.push_back(n * n);
                    }
                };
            },
            [&](std::vector<long>& result) {
                ++taken;
                consumed.insert(consumed.end(), result.begin(), result.end());
            });
    }
};

std::vector<long> squaresUpTo(std::size_t count) {
    std::vector<long> squares;
    for (std::size_t n = 0; n < count; ++n) {
        squares.push_back(static_cast<long>(n * n));
    }
    return squares;
}

// State: threads that start, or fail to start after a few. Action: run 500
// blocks. Expected: every result in the order read, never more than `ahead`
// blocks read and not consumed.
TEST(OrderedBlocks, keepTheOrderReadWhateverThreadsStart) {
    for (const unsigned workers : {0U, 1U, 3U, 8U}) {
        for (const unsigned starting : {0U, 1U, 2U, 99U}) {
            BlockThreads threads;
            threads.workers = workers;
            threads.ahead = 5;
            std::atomic<unsigned> started = 0;
            threads.start = [&](std::function<void()> body) {
                if (started++ >= starting) {
                    throw std::system_error(EAGAIN, std::generic_category());
                }
                return std::thread(std::move(body));
            };
            Squares squares;
            squares.run(threads, 500);
            EXPECT_EQ(squares.consumed, squaresUpTo(1000)) << workers << " " << starting;
            EXPECT_LE(squares.readAhead, 5U);
        }
    }
}

// State: a block whose work fails. Action: run. Expected: the failure is
// thrown once every thread has ended, and nothing after the block before it
// is consumed.
TEST(OrderedBlocks, stopAtTheFirstFailure) {
    for (const unsigned workers : {0U, 4U}) {
        BlockThreads threads;
        threads.workers = workers;
        threads.ahead = 8;
        Squares squares;
        EXPECT_THROW(squares.run(threads, 1000, 777), std::runtime_error);
        EXPECT_LE(squares.consumed.size(), 776U);
        EXPECT_EQ(squares.consumed, squaresUpTo(squares.consumed.size()));
    }
}

// A table of tavo links with cells of every sort, bad ones among them.
std::string tableOf(std::size_t rows) {
    std::mt19937 random(17);
    const char* rates[] = {"", "2", "34", "140", "0", "x"};
    const char* codes[] = {"", "RZ", "nrz", "AMI"};
    const char* lengths[] = {"", "0", "12.5", "49.5", "80", "-3", "1e999"};
    std::string table = "id,bitRate,lineCode,length\n";
    for (std::size_t r = 0; r < rows; ++r) {
        table += "\"L," + std::to_string(r) + "\"," + rates[random() % 6] + "," +
                 codes[random() % 4] + "," + lengths[random() % 7];
        table += random() % 50 == 0 ? ",extra\r\n" : "\r\n";
    }
    return table;
}

struct TableRun {
    std::string output;
    LinkSummary summary;
};

TableRun runTable(const std::string& table, TableOptions options) {
    const Calculator& tavo = *findCalculator("tavo");
    CsvReader reader(textSource(table));
    RowBuffer header;
    reader.read(header);
    std::vector<std::string_view> names;
    header.cells(0, names);
    const LinkColumns columns(tavo, names);
    const std::unique_ptr<Session> base = tavo.newSession();
    TableRun run;
    run.summary = runLinkTable(
        *base, columns, rowsOf(reader),
        [&run](std::string_view bytes) { run.output.append(bytes); }, options);
    return run;
}

// State: a table of 3000 links. Action: run it on the calling thread alone,
// and on several threads in small blocks. Expected: the same output, row by
// row in the table's order, and the same summary.
TEST(LinkTables, giveTheSameOutputInOrderOnAnyNumberOfThreads) {
    const std::string table = tableOf(3000);
    for (const OutputFormat format : {OutputFormat::Csv, OutputFormat::JsonLines}) {
        const TableRun alone = runTable(table, {format, 0});
        for (const unsigned workers : {1U, 3U, 8U}) {
            const TableRun spread = runTable(table, {format, workers, 7, 1 << 20});
            EXPECT_EQ(spread.output, alone.output) << workers;
            EXPECT_EQ(spread.summary.links, 3000U);
            EXPECT_EQ(spread.summary.errors, alone.summary.errors);
            EXPECT_EQ(spread.summary.failing, alone.summary.failing);
            EXPECT_TRUE(std::ranges::equal(spread.summary.powerMargins.bins(),
                                           alone.summary.powerMargins.bins()));
        }
        // Rows 1 to 3000, each once, in order.
        std::size_t row = 0;
        const std::size_t first = format == OutputFormat::Csv ? alone.output.find('\n') + 1 : 0;
        for (std::size_t at = first; at < alone.output.size();
             at = alone.output.find('\n', at) + 1) {
            const std::string prefix = format == OutputFormat::Csv
                                           ? std::to_string(++row) + ","
                                           : "{\"row\": " + std::to_string(++row) + ",";
            ASSERT_EQ(alone.output.compare(at, prefix.size(), prefix), 0) << row;
        }
        EXPECT_EQ(row, 3000U);
        EXPECT_GT(alone.summary.errors, 0U);
        EXPECT_GT(alone.summary.faults, 0U);
        EXPECT_GT(alone.summary.meetingBoth, 0U);
        EXPECT_FALSE(alone.summary.allMet());
    }
}

// State: an output that fails on its third block. Action: run a large table
// on several threads. Expected: the failure, as the output gave it.
TEST(LinkTables, aFailureToWriteStopsTheTable) {
    const std::string table = tableOf(2000);
    const Calculator& tavo = *findCalculator("tavo");
    CsvReader reader(textSource(std::string_view(table).substr(table.find('\n') + 1)));
    const std::vector<std::string_view> names = {"id", "bitRate", "lineCode", "length"};
    const LinkColumns columns(tavo, names);
    const std::unique_ptr<Session> base = tavo.newSession();
    int writes = 0;
    EXPECT_THROW(runLinkTable(*base, columns, rowsOf(reader),
                              [&writes](std::string_view) {
                                  if (++writes == 3) {
                                      throw FileFailure(ENOSPC, "out.csv");
                                  }
                              },
                              {OutputFormat::Csv, 4, 10, 1 << 20}),
                 FileFailure);
    EXPECT_EQ(writes, 3);
}

} // namespace
} // namespace vantero::linktable
