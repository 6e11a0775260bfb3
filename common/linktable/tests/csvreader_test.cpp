#include "common/linktable/csvreader.h"
#include "common/testing/calculationtesting.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace vantero::linktable {
namespace {

// Each row as "LINE:cell|cell|...", or "LINE!fault" for a row that could not
// be read.
std::vector<std::string> rowsOf(std::string_view bytes, std::size_t chunk, std::size_t buffer) {
    CsvReader reader(textSource(bytes, chunk), buffer);
    RowBuffer rows;
    std::vector<std::string> seen;
    while (reader.read(rows)) {
        const std::size_t r = rows.size() - 1;
        std::string row = std::to_string(rows.line(r));
        if (!rows.fault(r).empty()) {
            row += "!" + std::string(rows.fault(r));
        } else {
            for (std::size_t c = 0; c < rows.cellCount(r); ++c) {
                row += (c == 0 ? ":" : "|") + std::string(rows.cell(r, c));
            }
        }
        seen.push_back(row);
    }
    return seen;
}

struct ReadCase {
    const char* name;
    std::string bytes;
    std::vector<std::string> rows;
};

void PrintTo(const ReadCase& c, std::ostream* os) {
    *os << c.name;
}

class Tables : public testing::TestWithParam<ReadCase> {};

// State: a table. Action: read it whole at once, and a byte at a time through
// the smallest buffer. Expected: the same rows, cells and lines either way.
TEST_P(Tables, giveTheirRowsWithTheirLines) {
    EXPECT_EQ(rowsOf(GetParam().bytes, 1 << 20, 1 << 16), GetParam().rows);
    EXPECT_EQ(rowsOf(GetParam().bytes, 1, 1), GetParam().rows);
    EXPECT_EQ(rowsOf(GetParam().bytes, 7, 16), GetParam().rows);
}

const std::string quoteInPlain = "a quote within a cell that does not start with one";
const std::string afterQuote = "text after the closing quote of a cell";
const std::string unclosed = "a quoted cell is not closed before the end of the table";

INSTANTIATE_TEST_SUITE_P(
    Csv, Tables,
    testing::Values(
        ReadCase{"plain rows", "a,b\n1,2\n", {"1:a|b", "2:1|2"}},
        ReadCase{"no line break at the end", "a,b\n1,2", {"1:a|b", "2:1|2"}},
        ReadCase{"crlf", "a,b\r\n1,2\r\n", {"1:a|b", "2:1|2"}},
        ReadCase{"lone cr", "a,b\r1,2\r", {"1:a|b", "2:1|2"}},
        ReadCase{"byte-order mark", "\xEF\xBB\xBFid,length\nx,3\n", {"1:id|length", "2:x|3"}},
        ReadCase{"a mark later is text", "a\n\xEF\xBB\xBF\n", {"1:a", "2:\xEF\xBB\xBF"}},
        ReadCase{"empty cells", ",a,,\n,,,\n", {"1:|a||", "2:|||"}},
        ReadCase{"empty lines are skipped", "\n\na\r\n\r\n\nb\n\n", {"3:a", "6:b"}},
        ReadCase{
            "quoted commas and quotes", "\"a,b\",\"say \"\"hi\"\"\",\"\"\n", {"1:a,b|say \"hi\"|"}},
        ReadCase{"quoted line breaks count as lines",
                 "\"one\ntwo\",\"three\r\nfour\"\nnext\n",
                 {"1:one\ntwo|three\r\nfour", "4:next"}},
        ReadCase{"a quoted cell at the end", "a,\"b\"", {"1:a|b"}},
        ReadCase{"blanks are part of cells", " a , b \n", {"1: a | b "}},
        ReadCase{
            "a quote after a blank is within a plain cell", "a, \"b\"\n", {"1!" + quoteInPlain}},
        ReadCase{"text after a closing quote fails its row only",
                 "\"a\"b,c\nd\n",
                 {"1!" + afterQuote, "2:d"}},
        ReadCase{"a quote within a plain cell fails its row only",
                 "ab\"c,d\ne\n",
                 {"1!" + quoteInPlain, "2:e"}},
        ReadCase{"a failed row still ends at its quoted line break",
                 "x\"y,\"1\n2\"\nz\n",
                 {"1!" + quoteInPlain, "3:z"}},
        ReadCase{"an unclosed quote ends the table", "a\n\"b,c\nd\n", {"1:a", "2!" + unclosed}},
        ReadCase{"bytes of any value pass through",
                 std::string("\x00\xff,\x7f\n", 5),
                 {std::string("1:\x00\xff|\x7f", 6)}},
        ReadCase{"nothing", "", {}}, ReadCase{"a mark alone", "\xEF\xBB\xBF", {}}),
    [](const auto& info) { return testNameOf(info.param.name); });

// State: a row longer than the reader takes, between two short ones.
// Action: read the table. Expected: that row fails, and reading goes on
// after it; memory stays within the bound.
TEST(CsvReader, aRowTooLongFailsAndReadingGoesOn) {
    for (const bool quoted : {false, true}) {
        std::string table = "a\n";
        const std::string big(CsvReader::maxRowBytes + 10, 'x');
        table += quoted ? "\"" + big + "\"\n" : big + "\n";
        table += "b,c\n";
        EXPECT_EQ(rowsOf(table, 1 << 16, 1 << 16),
                  (std::vector<std::string>{"1:a", "2!the row is longer than 1 MiB", "3:b|c"}))
            << quoted;
    }
    // Cells count too: a row of a million empty cells is too long.
    EXPECT_EQ(rowsOf(std::string(CsvReader::maxRowBytes + 1, ','), 1 << 16, 1 << 16),
              (std::vector<std::string>{"1!the row is longer than 1 MiB"}));
}

// State: a table of many rows. Action: read it in blocks. Expected: a block
// stops at its count of rows or of bytes, whichever comes first, and holds
// at least one row.
TEST(CsvReader, readsInBlocksBoundedByRowsAndBytes) {
    std::string table;
    for (int i = 0; i < 100; ++i) {
        table += std::to_string(i) + "," + std::string(static_cast<std::size_t>(i), 'y') + "\n";
    }
    CsvReader reader(textSource(table));
    std::vector<std::size_t> sizes;
    RowBuffer rows;
    std::size_t first = 0;
    while (reader.readBlock(rows, 30, 3000)) {
        sizes.push_back(rows.size());
        EXPECT_EQ(rows.cell(0, 0), std::to_string(first));
        first += rows.size();
        rows.clear();
    }
    EXPECT_EQ(first, 100U);
    ASSERT_GE(sizes.size(), 2U);
    EXPECT_EQ(sizes.front(), 30U);
    // The long rows fill a block's bytes first.
    EXPECT_LT(sizes[sizes.size() - 2], 30U) << testing::PrintToString(sizes);
}

} // namespace
} // namespace vantero::linktable
