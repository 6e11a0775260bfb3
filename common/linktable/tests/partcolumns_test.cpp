// The columns fibre and transceiver of a table of links: a row's parts come
// before the row's own cells; a part that cannot be used is that row's
// error; no row takes a part's figures from the rows before it, and the
// threads change nothing. (That a row computes as the same link by --use,
// for each calculator: cli/tests/catalogue_test.cpp.)
#include "calculators/registry.h"
#include "common/catalogue/locations.h"
#include "common/linktable/evaluation.h"
#include "common/linktable/linktable.h"
#include "common/linktable/partcolumns.h"
#include "common/testing/calculationtesting.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace vantero::linktable {
namespace {

using catalogue::Catalogue;

const Catalogue& shipped() {
    static const Catalogue parts = catalogue::folderCatalogue(VANTERO_SHIPPED_SOURCE);
    return parts;
}

// A table of one calculator's links with the given columns, the parts of the
// shipped catalogue among them.
struct Table {
    Table(const Calculator& calculator, std::vector<std::string_view> header)
        : parts(calculator, shipped()), columns(calculator, header, parts.extras()),
          base(calculator.newSession()) {}
    PartColumns parts;
    LinkColumns columns;
    std::unique_ptr<Session> base;
};

// The figures of two sessions, text by text and choice by choice.
void expectSameFigures(const Session& a, const Session& b) {
    const Calculator& c = a.calculator();
    for (std::size_t i = 0; i < c.inputs().size(); ++i) {
        EXPECT_EQ(a.text(i), b.text(i)) << c.inputs()[i].name;
    }
    for (std::size_t i = 0; i < c.choices().size(); ++i) {
        EXPECT_EQ(a.choice(i), b.choice(i)) << c.choices()[i].name;
    }
}

// State: a part column after, or before, a cell of a figure the part sets.
// Action: evaluate. Expected: the cell wins, as --set wins over --use; the
// part's other figures stand.
TEST(PartColumns, aCellOfAnInputOrAChoiceWinsOverThePartWhereverItStands) {
    const Calculator& tavo = *findCalculator("tavo");
    for (const std::vector<std::string_view>& header :
         {std::vector<std::string_view>{"fibreAttenuation", "fibreType", "fibre"},
          std::vector<std::string_view>{"fibre", "fibreAttenuation", "fibreType"}}) {
        Table table(tavo, header);
        LinkEvaluator evaluator(*table.base, table.columns);
        std::vector<std::string_view> cells(3);
        for (std::size_t c = 0; c < 3; ++c) {
            cells[c] = header[c] == "fibre"       ? "G.652.D@1310"
                       : header[c] == "fibreType" ? "multimode"
                                                  : "0.25";
        }
        ASSERT_EQ(evaluator.evaluate({1, 2, cells, {}}).status, LinkStatus::Ok);
        const Session& link = evaluator.session();
        EXPECT_EQ(link.text(*tavo.findInput("fibreAttenuation")), "0.25") << header[0];
        EXPECT_EQ(tavo.choices()[*tavo.findChoice("fibreType")]
                      .values[static_cast<std::size_t>(link.choice(*tavo.findChoice("fibreType")))],
                  "Multimode");
        EXPECT_EQ(link.text(*tavo.findInput("zeroDispersionWavelength")), "1324");
    }
}

struct BadCell {
    const char* name;
    std::string_view fibre;
    std::string_view transceiver;
    std::string error; // the start of the row's error
};

void PrintTo(const BadCell& c, std::ostream* os) {
    *os << c.name;
}

class BadParts : public testing::TestWithParam<BadCell> {};

// State: a row whose part cannot be used, between two good rows. Action:
// evaluate the three. Expected: the bad row's error names the column and
// says what is wrong; the rows after it run as they would alone.
TEST_P(BadParts, areTheRowsErrorAndTheOthersGoOn) {
    const Calculator& tavo = *findCalculator("tavo");
    Table table(tavo, {"id", "fibre", "transceiver", "length"});
    LinkEvaluator evaluator(*table.base, table.columns);
    const std::vector<std::string_view> good = {"a", "OM4@850", "1000BASE-SX", "0.2"};
    const LinkOutcome before = evaluator.evaluate({1, 2, good, {}});
    const std::vector<std::string_view> bad = {"b", GetParam().fibre, GetParam().transceiver, "1"};
    const LinkOutcome& o = evaluator.evaluate({2, 3, bad, {}});
    EXPECT_EQ(o.status, LinkStatus::Error);
    EXPECT_EQ(o.error.substr(0, GetParam().error.size()), GetParam().error);
    EXPECT_FALSE(o.budgets);
    const std::vector<std::string_view> plain = {"c", "", "", "0.2"};
    const LinkOutcome& after = evaluator.evaluate({3, 4, plain, {}});
    LinkEvaluator fresh(*table.base, table.columns);
    const LinkOutcome& alone = fresh.evaluate({3, 4, plain, {}});
    EXPECT_EQ(after.status, LinkStatus::Ok);
    EXPECT_EQ(after.point.maximumDistance, alone.point.maximumDistance);
    EXPECT_NE(after.point.maximumDistance, before.point.maximumDistance);
}

INSTANTIATE_TEST_SUITE_P(
    PartColumns, BadParts,
    testing::Values(
        BadCell{"a fibre the catalogue lacks", "OM9@850", "",
                "fibre: no fibre \"OM9\" in the catalogue; it has G.652.D, "},
        BadCell{"a wavelength the fibre lacks", "G.652.D@850", "",
                "fibre: fibre \"G.652.D\" has no attenuation at 850 nm; it has attenuation at "
                "1310-1625 nm and 1530-1565 nm"},
        BadCell{"a fibre without a wavelength", "G.652.D", "",
                "fibre: \"G.652.D\": say at which wavelength (nm) the fibre is used: "
                "G.652.D@WAVELENGTH"},
        BadCell{"a wavelength that is not a number", "G.652.D@13x0", "",
                "fibre: \"G.652.D@13x0\": the wavelength is a number of nm above 0, not "
                "\"13x0\""},
        BadCell{"a wavelength without a name", "@1310", "",
                "fibre: \"@1310\": name the part before the \"@\""},
        BadCell{"a transceiver the catalogue lacks", "", "40GBASE-LR4",
                "transceiver: no transceiver \"40GBASE-LR4\" in the catalogue; it has "},
        BadCell{"a transceiver at a wavelength", "", "10GBASE-LR@1310",
                "transceiver: \"10GBASE-LR@1310\": a transceiver is used as it is, at no "
                "wavelength"},
        BadCell{"the fibre's error first", "x@1", "y", "fibre: no fibre \"x\""}),
    [](const auto& info) { return testNameOf(info.param.name); });

// A table of links with parts, figures and lengths, good and bad cells among
// them.
std::string partsTable(std::size_t rows) {
    std::mt19937 random(29);
    const char* fibres[] = {"", "G.652.D@1550", "OM4@850", "OM3@1300", "G.652.D@850", "OM9@1"};
    const char* transceivers[] = {"", "10GBASE-LR", "1000BASE-SX", "S-4.1", "nothing"};
    const char* attenuations[] = {"", "", "0.3", "x"};
    const char* lengths[] = {"", "0.3", "2", "40"};
    std::string table = "id,fibre,transceiver,fibreAttenuation,length\n";
    for (std::size_t r = 0; r < rows; ++r) {
        table += std::to_string(r) + "," + fibres[random() % 6] + "," + transceivers[random() % 5] +
                 "," + attenuations[random() % 4] + "," + lengths[random() % 4] + "\n";
    }
    return table;
}

// State: random rows of parts and figures. Action: run them one after another
// on one evaluator, and each on a fresh one. Expected: the same figures and
// outcome: no row takes a figure a part set in the rows before it.
TEST(PartColumns, noRowTakesAPartsFiguresFromTheRowsBefore) {
    for (const Calculator* calculator : calculators()) {
        SCOPED_TRACE(calculator->name());
        Table table(*calculator, {"id", "fibre", "transceiver", "fibreAttenuation", "length"});
        const std::string text = partsTable(300);
        CsvReader reader(textSource(text));
        RowBuffer rows;
        while (reader.read(rows)) {
        }
        LinkEvaluator running(*table.base, table.columns);
        std::vector<std::string_view> cells;
        for (std::size_t r = 1; r < rows.size(); ++r) {
            rows.cells(r, cells);
            const TableRow row{r, r + 1, cells, {}};
            const LinkOutcome o = running.evaluate(row);
            LinkEvaluator fresh(*table.base, table.columns);
            const LinkOutcome& f = fresh.evaluate(row);
            ASSERT_EQ(o.status, f.status) << r;
            ASSERT_EQ(o.error, f.error) << r;
            ASSERT_EQ(o.point.maximumDistance, f.point.maximumDistance) << r;
            if (o.status != LinkStatus::Error) {
                expectSameFigures(running.session(), fresh.session());
            }
        }
    }
}

// State: a large table of parts. Action: run it on the calling thread alone
// and on several threads in small blocks. Expected: the same output.
TEST(PartColumns, giveTheSameOutputOnAnyNumberOfThreads) {
    const Calculator& estrela = *findCalculator("estrela");
    const std::string text = partsTable(5000);
    const auto run = [&](TableOptions options) {
        CsvReader reader(textSource(text));
        RowBuffer header;
        reader.read(header);
        std::vector<std::string_view> names;
        header.cells(0, names);
        const Table table(estrela, names);
        std::string output;
        const LinkSummary summary = runLinkTable(
            *table.base, table.columns, rowsOf(reader),
            [&output](std::string_view bytes) { output.append(bytes); }, options);
        EXPECT_GT(summary.errors, 0U);
        EXPECT_GT(summary.ok, 1000U);
        return output;
    };
    const std::string alone = run({OutputFormat::Csv, 0});
    EXPECT_EQ(run({OutputFormat::Csv, 4, 3, 1 << 20}), alone);
    EXPECT_EQ(run({OutputFormat::JsonLines, 4, 3, 1 << 20}), run({OutputFormat::JsonLines, 0}));
}

} // namespace
} // namespace vantero::linktable
