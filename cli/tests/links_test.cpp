// vantero CALCULATOR --links: a table of links in, every verdict and margin
// out, each row as the single-link command line gives it.

#include "cli/tests/commandline.h"
#include "common/linktable/csvreader.h"
#include "common/linktable/writers.h"
#include "common/numbers/formatting.h"
#include "common/runs/json.h"
#include "common/testing/calculationtesting.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace vantero::cli {
namespace {

using Cells = std::vector<std::string>;

// The rows of a CSV text, header included.
std::vector<Cells> readCsv(const std::string& text) {
    linktable::CsvReader reader(linktable::textSource(text));
    linktable::RowBuffer rows;
    while (reader.read(rows)) {
    }
    std::vector<Cells> table;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        table.emplace_back();
        for (std::size_t c = 0; c < rows.cellCount(r); ++c) {
            table.back().emplace_back(rows.cell(r, c));
        }
    }
    return table;
}

std::string csvLine(const Cells& cells) {
    std::string line;
    for (std::size_t c = 0; c < cells.size(); ++c) {
        line += c == 0 ? "" : ",";
        line += cells[c].find(',') == std::string::npos ? cells[c] : "\"" + cells[c] + "\"";
    }
    return line + "\n";
}

std::string writeTable(const TemporaryFolder& folder, const std::vector<Cells>& table) {
    const std::string path = folder.file("links.csv");
    std::ofstream file(path, std::ios::binary);
    for (const Cells& row : table) {
        file << csvLine(row);
    }
    return path;
}

// A random table of a calculator's links: an id, some of its inputs and
// choices, and a length. Most cells are numbers near the initial figures or
// values of the choice, in either case; some are empty, some 0 or beyond a
// double (the run faults on some), some not numbers or not values.
std::vector<Cells> randomTable(const Calculator& calculator, std::size_t rows,
                               std::mt19937& random) {
    std::vector<Cells> table(1, Cells{"id"});
    std::vector<std::size_t> inputs;
    for (std::size_t i = 0; i < calculator.inputs().size(); ++i) {
        if (random() % 2 == 0) {
            inputs.push_back(i);
            table[0].emplace_back(calculator.inputs()[i].name);
        }
    }
    for (const ChoiceDescription& choice : calculator.choices()) {
        table[0].emplace_back(choice.name);
    }
    table[0].emplace_back("length");
    const auto uniform = [&](double low, double high) {
        return std::uniform_real_distribution<double>(low, high)(random);
    };
    const auto number = [](double value) {
        char text[32];
        std::snprintf(text, sizeof text, "%.6g", value);
        return std::string(text);
    };
    for (std::size_t r = 0; r < rows; ++r) {
        Cells row{"L" + std::to_string(r)};
        for (const std::size_t i : inputs) {
            const double initial = std::strtod(calculator.inputs()[i].initialText.data(), nullptr);
            const unsigned draw = random() % 100;
            row.push_back(draw < 40 ? ""
                          : draw < 94
                              ? number(initial == 0 ? uniform(-10, 5) : initial * uniform(0.3, 2))
                          : draw < 96 ? "0"
                          : draw < 98 ? (random() % 2 == 0 ? "0,5" : "abc")
                                      : "1e999");
        }
        for (const ChoiceDescription& choice : calculator.choices()) {
            const unsigned draw = random() % 100;
            std::string value(choice.values[random() % choice.values.size()]);
            if (random() % 2 == 0) {
                for (char& c : value) {
                    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
                }
            }
            row.push_back(draw < 60 ? "" : draw < 98 ? value : "Q");
        }
        const unsigned draw = random() % 100;
        row.push_back(draw < 10   ? ""
                      : draw < 96 ? number(uniform(0, 120))
                      : draw < 98 ? "-1"
                                  : "1e308");
        table.push_back(std::move(row));
    }
    return table;
}

// The single-link command line of a row: --set for each non-empty cell, in
// the order of the columns, and --at its length.
std::vector<std::string> singleLink(const Calculator& calculator, const Cells& header,
                                    const Cells& row, bool json) {
    std::vector<std::string> args{std::string(calculator.name())};
    for (std::size_t c = 1; c < header.size(); ++c) {
        if (row[c].empty()) {
            continue;
        }
        if (header[c] == "length") {
            args.insert(args.end(), {"--at", row[c]});
        } else {
            args.insert(args.end(), {"--set", header[c] + "=" + row[c]});
        }
    }
    if (json) {
        args.emplace_back("--json");
    }
    return args;
}

// The message of a failure on standard error, as a row's error gives it:
// without "vantero: ", the final full stop and the hint of a usage error.
std::string errorOf(const std::string& err) {
    std::string line = err.substr(0, err.find('\n'));
    line = line.substr(std::strlen("vantero: "));
    if (err.find("\nTry 'vantero --help'") == std::string::npos && line.ends_with(".")) {
        line.pop_back();
    }
    return line;
}

// The lines "name<TAB>text" of the single-link text output: the results,
// and those of the budgets at the length after "at".
struct TextOutput {
    std::map<std::string, std::string> results;
    std::map<std::string, std::string> budgets;
};

TextOutput textOutput(const std::string& out) {
    TextOutput text;
    std::map<std::string, std::string>* part = &text.results;
    for (std::size_t at = 0; at < out.size();) {
        const std::size_t end = out.find('\n', at);
        const std::string line = out.substr(at, end - at);
        const std::size_t tab = line.find('\t');
        const std::string name = line.substr(0, tab);
        if (name == "at") {
            part = &text.budgets;
        }
        part->emplace(name, line.substr(tab + 1));
        at = end + 1;
    }
    return text;
}

// A number cell as the window shows it; empty stays empty.
std::string shown(const std::string& cell) {
    return cell.empty() ? "" : formatResult(std::strtod(cell.c_str(), nullptr));
}

std::string valueOf(const std::map<std::string, std::string>& lines, const std::string& name) {
    const auto found = lines.find(name);
    return found == lines.end() ? "" : found->second;
}

// State: a few hundred random links of each calculator, with bad cells and
// faulting rows among them. Action: run them as a table, in CSV and in JSON
// Lines, and each alone on the command line with --set and --at. Expected:
// each row agrees with its single link: its status with the exit status; an
// error or fault with the message on standard error; the JSON line with the
// object of --json; the CSV's distances, limit, message, margins and verdicts
// with the text output. The table's exit status is 1 as soon as one row is
// not ok or fails a budget.
TEST(Links, eachRowAgreesWithTheSingleLinkCommandLine) {
    std::mt19937 random(23);
    for (const Calculator* calculator : calculators()) {
        SCOPED_TRACE(calculator->name());
        const TemporaryFolder folder;
        const std::vector<Cells> table = randomTable(*calculator, 150, random);
        const Cells& header = table[0];
        const std::string path = writeTable(folder, table);
        const Outcome csv = runVantero({std::string(calculator->name()), "--links", path});
        const Outcome json =
            runVantero({std::string(calculator->name()), "--links", path, "--json"});
        EXPECT_EQ(csv.err, "");
        const std::vector<Cells> rows = readCsv(csv.out);
        ASSERT_EQ(rows.size(), table.size());
        const Cells& columns = rows[0];
        const auto cell = [&columns](const Cells& row, const std::string& name) {
            return row[static_cast<std::size_t>(std::find(columns.begin(), columns.end(), name) -
                                                columns.begin())];
        };
        std::map<std::string, int> seen;
        int expectedStatus = 0;
        std::size_t lineStart = 0;
        for (std::size_t r = 1; r < table.size(); ++r) {
            SCOPED_TRACE(csvLine(table[r]));
            const Cells& out = rows[r];
            const std::string line =
                json.out.substr(lineStart, json.out.find('\n', lineStart) + 1 - lineStart);
            lineStart += line.size();
            const Outcome single = runVantero(singleLink(*calculator, header, table[r], true));
            const std::string status = single.status == 0   ? "ok"
                                       : single.status == 1 ? "fault"
                                                            : "error";
            ++seen[status];
            ASSERT_EQ(cell(out, "row"), std::to_string(r));
            ASSERT_EQ(cell(out, "id"), table[r][0]);
            ASSERT_EQ(cell(out, "status"), status) << single.err;
            const std::string& length = table[r].back();
            const bool goodLength = length.empty() || length.front() != '-';
            if (status != "ok" || cell(out, "powerBudgetMet") == "no" ||
                cell(out, "riseTimeBudgetMet") == "no") {
                expectedStatus = 1;
            }
            if (status == "error") {
                // (--at reads its length before --set, with words of its own.)
                if (goodLength) {
                    EXPECT_EQ(cell(out, "error"), errorOf(single.err));
                }
                std::string ending = "\"status\": \"error\", \"error\": ";
                appendJsonString(ending, cell(out, "error"));
                EXPECT_TRUE(line.ends_with(ending + "}\n")) << line;
                continue;
            }
            EXPECT_EQ(cell(out, "error"), status == "ok" ? "" : errorOf(single.err));

            // The JSON line: the object of --json after row, id, status and
            // error, with an empty "at" for a row without a length.
            std::string object;
            linktable::appendOnOneLine(object, single.out);
            if (length.empty()) {
                object.insert(object.size() - 1, ", \"at\": []");
            }
            std::string expected = "{\"row\": " + std::to_string(r) + ", \"id\": \"" + table[r][0] +
                                   "\", \"status\": \"" + status + "\", \"error\": ";
            if (status == "ok") {
                expected += "null";
            } else {
                appendJsonString(expected, errorOf(single.err));
            }
            EXPECT_EQ(line, expected + ", " + object.substr(1) + "\n");

            // The CSV against the text output.
            const Outcome text = runVantero(singleLink(*calculator, header, table[r], false));
            const TextOutput lines = textOutput(text.out);
            for (const char* distance : {"powerDistance", "riseTimeDistance", "maximumDistance"}) {
                EXPECT_EQ(shown(cell(out, distance)), valueOf(lines.results, distance)) << distance;
            }
            const std::string verdict = valueOf(lines.results, "verdict");
            EXPECT_EQ(cell(out, "limitedBy"), verdict.empty() ? ""
                                              : verdict.find("atenuação") != std::string::npos
                                                  ? "Attenuation"
                                                  : "Dispersion");
            EXPECT_EQ(cell(out, "message"), status == "fault" && lines.budgets.empty()
                                                ? errorOf(single.err)
                                                : valueOf(lines.results, "message"));
            EXPECT_EQ(cell(out, "length").empty(), length.empty());
            if (!lines.budgets.empty()) {
                EXPECT_EQ(shown(cell(out, "length")), valueOf(lines.budgets, "at"));
            }
            for (const char* budget : {"powerMargin", "riseTimeMargin"}) {
                if (status == "ok") {
                    EXPECT_EQ(shown(cell(out, budget)), valueOf(lines.budgets, budget)) << budget;
                }
            }
            for (const char* met : {"powerBudgetMet", "riseTimeBudgetMet"}) {
                EXPECT_EQ(cell(out, met), status == "ok" ? valueOf(lines.budgets, met) : "") << met;
            }
        }
        EXPECT_EQ(csv.status, expectedStatus);
        EXPECT_EQ(json.status, expectedStatus);
        // The table had rows of every kind.
        EXPECT_GT(seen["ok"], 50);
        EXPECT_GT(seen["fault"], 0);
        EXPECT_GT(seen["error"], 0);
    }
}

// A table of tavo links and a command line around it.
struct TableCase {
    const char* name;
    std::string table;
    std::vector<std::string> options;
    int status;
    std::string out; // the start of standard output
    std::string err; // the start of standard error after "vantero: "; empty for none
};

void PrintTo(const TableCase& c, std::ostream* os) {
    *os << c.name;
}

class Tables : public testing::TestWithParam<TableCase> {};

// State: a table. Action: run it with --links. Expected: the exit status, the
// output and the message; "@" in a message stands for the table's path.
TEST_P(Tables, exitWithTheirStatus) {
    const TableCase& c = GetParam();
    const TemporaryFolder folder;
    const std::string path = folder.file("links.csv");
    std::ofstream(path, std::ios::binary) << c.table;
    std::vector<std::string> args{"tavo", "--links", path};
    args.insert(args.end(), c.options.begin(), c.options.end());
    const Outcome o = runVantero(args);
    EXPECT_EQ(o.status, c.status) << o.err;
    EXPECT_TRUE(o.out.starts_with(c.out)) << o.out;
    std::string err = c.err;
    if (const std::size_t at = err.find('@'); at != std::string::npos) {
        err.replace(at, 1, path);
    }
    EXPECT_EQ(o.err.substr(0, std::min(o.err.size(), err.size() + 9)),
              err.empty() ? "" : "vantero: " + err);
}

const std::string header = "row,id,powerDistance,riseTimeDistance,maximumDistance,limitedBy,"
                           "message,length,powerMargin,riseTimeMargin,powerBudgetMet,"
                           "riseTimeBudgetMet,status,error\n";

INSTANTIATE_TEST_SUITE_P(
    Links, Tables,
    testing::Values(
        TableCase{"every link meets both budgets",
                  "id,length\r\na,10\r\nb,20\r\n",
                  {},
                  0,
                  header + "1,a,49.52537446258219,2274.8933119835656,49.52537446258219,"
                           "Attenuation,,10,23.715224677549315,3.0667411962009634,yes,yes,ok,\n"
                           "2,b,",
                  ""},
        TableCase{
            "no length, every link ok", "bitRate\n34\n\n140\n", {}, 0, "row,powerDistance", ""},
        TableCase{"a header only", "\xEF\xBB\xBFid,length\n", {}, 0, header, ""},
        TableCase{
            "a link that fails a budget", "length\n10\n200\n", {}, 1, "row,powerDistance", ""},
        TableCase{"a set that every link keeps",
                  "id,length\na,49\n",
                  {"--set", "connectorCount=4"},
                  0,
                  header + "1,a,50.02537446258219,",
                  ""},
        TableCase{"a set that a cell replaces",
                  "id,length,connectorCount\na,49,5\nb,49,\n",
                  {"--set", "connectorCount=8"},
                  1,
                  header + "1,a,49.52537446258219,",
                  ""},
        TableCase{"a bad cell", "bitRate\n\"0,5\"\n34\n", {}, 1, "row,", ""},
        TableCase{"a faulting link", "bitRate\n0\n", {}, 1, "row,", ""},
        TableCase{"a ragged row", "bitRate,id\n34\n", {}, 1, "row,", ""},
        TableCase{"JSON Lines",
                  "id\na\n",
                  {"--json"},
                  0,
                  "{\"row\": 1, \"id\": \"a\", \"status\": \"ok\"",
                  ""},
        TableCase{"a column that is none",
                  "id,bitrate\n",
                  {},
                  2,
                  "",
                  "--links @: column 2, \"bitrate\", is no column of a table of tavo links; the "
                  "columns are id, length, fibre, transceiver, the inputs bitRate, launchedPower"},
        TableCase{"a column twice",
                  "length,length\n",
                  {},
                  2,
                  "",
                  "--links @: the column \"length\" is given twice (columns 1 and 2)\nTry"},
        TableCase{"an empty table",
                  "\n\r\n",
                  {},
                  2,
                  "",
                  "--links @: the table is empty; its first line names its columns"},
        TableCase{"a header that cannot be read",
                  "\"id\n",
                  {},
                  2,
                  "",
                  "--links @: line 1: a quoted cell is not closed before the end of the table"},
        TableCase{"JSON Lines to a CSV file",
                  "id\n",
                  {"--json", "--csv", "x.csv"},
                  2,
                  "",
                  "--json with --links writes JSON Lines to standard output"},
        TableCase{"a length for every link",
                  "id\n",
                  {"--at", "3"},
                  2,
                  "",
                  "--at does not go with --links"},
        TableCase{"a sweep",
                  "id\n",
                  {"--sweep", "bitRate=1:2:2"},
                  2,
                  "",
                  "--sweep does not go with --links"},
        TableCase{"a project file saved",
                  "id\n",
                  {"--save", "x"},
                  2,
                  "",
                  "--save does not go with --links"},
        TableCase{"a chart", "id\n", {"--plot", "x.png"}, 2, "", "--plot does not go with --links"},
        TableCase{"a summary report in a build without reports",
                  "id\n",
                  {"--report", "x.pdf"},
                  2,
                  "",
                  "--report: this build of vantero draws no reports (it was built without Qt)"},
        TableCase{"a summary report that is not a PDF",
                  "id\n",
                  {"--report", "x.txt"},
                  2,
                  "",
                  "--report writes a PDF file, whose name ends in .pdf, not \"x.txt\""}),
    [](const auto& info) { return testNameOf(info.param.name); });

TEST(Links, aTableThatCannotBeReadIsAFileFailure) {
    const TemporaryFolder folder;
    const Outcome missing = runVantero({"tavo", "--links", folder.file("none.csv")});
    EXPECT_EQ(missing.status, 3);
    EXPECT_EQ(missing.err, "vantero: " + folder.file("none.csv") + ": File not found.\n");
    const Outcome aFolder = runVantero({"tavo", "--links", folder.file("")});
    EXPECT_EQ(aFolder.status, 3);
    EXPECT_TRUE(aFolder.err.ends_with(": Invalid filename.\n")) << aFolder.err;
}

// State: an output file. Action: run a table into it, then a table whose
// header is refused. Expected: the file holds what standard output would,
// and the refused table leaves it as it was.
TEST(Links, writeTheirCsvFileWholeOrNotAtAll) {
    const TemporaryFolder folder;
    const std::string table = folder.file("links.csv");
    const std::string csv = folder.file("out.csv");
    std::ofstream(table) << "id,lineCode,length\na,RZ,3\nb,,4\n";
    const Outcome toFile = runVantero({"tavo", "--links", table, "--csv", csv, "--open", ""});
    const Outcome toOutput = runVantero({"estrela", "--links", table});
    const Outcome written = runVantero({"estrela", "--links", table, "--csv", csv});
    EXPECT_EQ(written.status, 1);
    EXPECT_EQ(written.out, "");
    EXPECT_EQ(fileContents(csv), toOutput.out);
    std::ofstream(table) << "id,nothing\n";
    EXPECT_EQ(runVantero({"estrela", "--links", table, "--csv", csv}).status, 2);
    EXPECT_EQ(fileContents(csv), toOutput.out);
    EXPECT_EQ(toFile.status, 3); // (an --open of no file)
}

// Runs vantero with a summary report renderer that keeps what it is given
// and writes "pdf".
Outcome withLinksReport(const std::vector<std::string>& args,
                        std::optional<report::LinksReport>& kept) {
    return runVantero(args, {}, {}, [&kept](const report::LinksReport& report) {
        kept = report;
        return std::string("pdf");
    });
}

// State: a table of links of every kind. Action: run it with --report.
// Expected: the CSV as without it, the exit status of the table, and a report
// of the whole table, the table named by its whole path, written in the
// place of the old file.
TEST(Links, writeTheSummaryReportOfTheWholeTable) {
    const TemporaryFolder folder;
    const std::string table = folder.file("links.csv");
    const std::string pdf = folder.file("summary.pdf");
    std::ofstream(table) << "id,length,lineCode,bitRate\na,30,,\nb,80,,\nc,10,rz,\nd,3,,0\n"
                            "e,,,x\nf,,,\n";
    std::ofstream(pdf) << "old";
    std::optional<report::LinksReport> kept;
    const Outcome o = withLinksReport(
        {"tavo", "--links", table, "--set", "connectorCount=3", "--report", pdf}, kept);
    EXPECT_EQ(o.status, 1) << o.err;
    EXPECT_EQ(o.err, "");
    EXPECT_EQ(o.out, runVantero({"tavo", "--links", table, "--set", "connectorCount=3"}).out);
    EXPECT_EQ(fileContents(pdf), "pdf");
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->table, std::filesystem::absolute(table).lexically_normal().string());
    EXPECT_EQ(kept->links, 6U);
    std::vector<std::uint64_t> counts;
    for (const report::LinkCount& count : kept->counts) {
        counts.push_back(count.count);
    }
    EXPECT_EQ(counts, (std::vector<std::uint64_t>{1, 2, 1, 1, 1, 1, 1}));
    ASSERT_EQ(kept->failing[0].worst.size(), 1U);
    EXPECT_EQ(kept->failing[0].worst[0].id, "b");
    ASSERT_EQ(kept->failing[1].worst.size(), 1U);
    EXPECT_EQ(kept->failing[1].worst[0].row, 3U);
    bool connectors = false;
    for (const report::ReportInputPage& page : kept->base) {
        for (const report::ReportInput& input : page.inputs) {
            connectors =
                connectors || (input.label == "Número total de conectores" && input.text == "3");
        }
    }
    EXPECT_TRUE(connectors);
}

} // namespace
} // namespace vantero::cli
