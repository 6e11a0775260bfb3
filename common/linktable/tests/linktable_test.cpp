#include "calculators/registry.h"
#include "common/linktable/linktable.h"
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
