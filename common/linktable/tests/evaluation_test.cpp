#include "calculators/registry.h"
#include "common/linktable/columns.h"
#include "common/linktable/evaluation.h"
#include "common/testing/calculationtesting.h"

#include <gtest/gtest.h>

#include <array>
#include <random>
#include <string>
#include <vector>

namespace vantero::linktable {
namespace {

const Calculator& tavo() {
    return *findCalculator("tavo");
}

// A catalogue of two fibres, as a later column sets them: the attenuation and
// the fibre type at once.
class FibreColumn final : public ExtraColumn {
public:
    FibreColumn()
        : m_inputs{*tavo().findInput("fibreAttenuation")}, m_choices{
                                                               *tavo().findChoice("fibreType")} {}
    std::string_view name() const override { return "fibre"; }
    std::span<const std::size_t> inputs() const override { return m_inputs; }
    std::span<const std::size_t> choices() const override { return m_choices; }
    void apply(Session& session, std::string_view cell) const override {
        if (cell != "G652" && cell != "OM3") {
            throw CellError("no fibre \"" + std::string(cell) + "\" in the catalogue");
        }
        session.setText(m_inputs[0], cell == "G652" ? "0.2" : "3");
        session.setChoice(m_choices[0], cell == "G652" ? 0 : 1);
    }

private:
    std::array<std::size_t, 1> m_inputs;
    std::array<std::size_t, 1> m_choices;
};

const FibreColumn fibre;
const ExtraColumn* const extras[] = {&fibre};

LinkColumns columnsOf(std::vector<std::string_view> header) {
    return LinkColumns(tavo(), header, extras);
}

struct HeaderCase {
    const char* name;
    std::vector<std::string_view> header;
    std::string error; // empty: resolved
};

void PrintTo(const HeaderCase& c, std::ostream* os) {
    *os << c.name;
}

class Headers : public testing::TestWithParam<HeaderCase> {};

// State: a header. Action: resolve it against tavo. Expected: the columns,
// or a ColumnError naming the column and, for a name that is none, every
// valid name.
TEST_P(Headers, resolveOrSayWhatIsValid) {
    try {
        const LinkColumns columns = columnsOf(GetParam().header);
        EXPECT_EQ(GetParam().error, "");
        ASSERT_EQ(columns.size(), GetParam().header.size());
    } catch (const ColumnError& error) {
        EXPECT_EQ(std::string(error.what()).substr(0, GetParam().error.size()), GetParam().error);
        EXPECT_NE(GetParam().error, "");
    }
}

const std::string validNames =
    "the columns are id, length, fibre, the inputs bitRate, launchedPower, fibreAttenuation, "
    "spliceLoss, gainMargin, connectorCount, connectorLoss, cableSectionLength, "
    "receiverPenalty, blockM, blockN, electricalBandwidth, spectralWidth, chromaticDispersion, "
    "zeroDispersionWavelength, dispersionSlope, manualSensitivity, normalizedBandwidth and the "
    "choices lineCode, lightSource, detectorType, berChoice, fibreType";

INSTANTIATE_TEST_SUITE_P(
    Columns, Headers,
    testing::Values(
        HeaderCase{"every kind", {"length", "id", "lineCode", "bitRate", "fibre"}, ""},
        HeaderCase{"one column", {"id"}, ""},
        HeaderCase{"a name in another case",
                   {"id", "bitrate"},
                   "column 2, \"bitrate\", is no column of a table of tavo links; " + validNames},
        HeaderCase{"an empty name", {"bitRate", ""}, "column 2, \"\", is no column"},
        HeaderCase{
            "a long name cut short",
            {std::string_view("xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx"
                              "xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx")},
            "column 1, \"xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx"
            "xx...\", is no column"},
        HeaderCase{"an input twice",
                   {"bitRate", "length", "bitRate"},
                   "the column \"bitRate\" is given twice (columns 1 and 3)"},
        HeaderCase{"id twice", {"id", "id"}, "the column \"id\" is given twice (columns 1 and 2)"},
        HeaderCase{"a choice of another calculator",
                   {"blockCode"},
                   "column 1, \"blockCode\", is no column of a table of tavo links"}),
    [](const auto& info) { return testNameOf(info.param.name); });

// The outcome of cells on the base of tavo, a row of line 7.
struct RowCase {
    const char* name;
    std::vector<std::string_view> cells; // id, bitRate, lineCode, fibre, length
    LinkStatus status;
    std::string error;
    std::string_view fault = {};
};

void PrintTo(const RowCase& c, std::ostream* os) {
    *os << c.name;
}

class Rows : public testing::TestWithParam<RowCase> {};

// State: tavo's base and a row. Action: evaluate it. Expected: its status and
// message; an ok or faulting row runs as a session given the same figures
// runs.
TEST_P(Rows, giveTheirStatusAndMessage) {
    const LinkColumns columns = columnsOf({"id", "bitRate", "lineCode", "fibre", "length"});
    const std::unique_ptr<Session> base = tavo().newSession();
    LinkEvaluator evaluator(*base, columns);
    const RowCase& c = GetParam();
    const LinkOutcome& o = evaluator.evaluate({5, 7, c.cells, c.fault});
    EXPECT_EQ(o.row, 5U);
    EXPECT_EQ(o.id, c.cells.empty() ? "" : c.cells[0]);
    EXPECT_EQ(o.status, c.status);
    EXPECT_EQ(o.error, c.error);
    if (c.status == LinkStatus::Error) {
        EXPECT_FALSE(o.length);
        EXPECT_FALSE(o.budgets);
        return;
    }
    // The same figures, set by hand.
    const std::unique_ptr<Session> alone = tavo().newSession();
    if (!c.cells[1].empty()) {
        alone->setText(0, c.cells[1]);
    }
    if (!c.cells[2].empty()) {
        alone->setChoice(*tavo().findChoice("lineCode"),
                         *findChoiceValue(tavo().choices()[0], c.cells[2]));
    }
    const SweepPoint expected = alone->runPoint();
    EXPECT_EQ(o.point.powerDistance, expected.powerDistance);
    EXPECT_EQ(o.point.riseTimeDistance, expected.riseTimeDistance);
    EXPECT_EQ(o.point.maximumDistance, expected.maximumDistance);
    EXPECT_EQ(o.point.message, expected.message);
    if (!c.cells[4].empty() && !expected.fault) {
        ASSERT_TRUE(o.budgets);
        EXPECT_EQ(o.budgets->powerMargin, alone->budgetsAt(*o.length).powerMargin);
    }
}

const std::string notANumber = "\" não é um número válido";

INSTANTIATE_TEST_SUITE_P(
    Evaluation, Rows,
    testing::Values(
        RowCase{"all empty", {"a", "", "", "", ""}, LinkStatus::Ok, ""},
        RowCase{"cells replace the base", {"b", "140", "rz", "", "20"}, LinkStatus::Ok, ""},
        RowCase{"blanks around a number", {"c", " 8 ", "NRZ", "", " 3 "}, LinkStatus::Ok, ""},
        RowCase{"a comma for a point",
                {"d", "0,5", "", "", ""},
                LinkStatus::Error,
                "bitRate: \"0,5" + notANumber},
        RowCase{"a choice that is none",
                {"e", "", "AMI", "", ""},
                LinkStatus::Error,
                "lineCode is one of NRZ, RZ, not \"AMI\""},
        RowCase{"the first bad cell is the one named",
                {"f", "x", "AMI", "", ""},
                LinkStatus::Error,
                "bitRate: \"x" + notANumber},
        RowCase{"a length that is not a number",
                {"g", "", "", "", "abc"},
                LinkStatus::Error,
                "length: \"abc" + notANumber},
        RowCase{"a negative length",
                {"h", "", "", "", "-1"},
                LinkStatus::Error,
                "length: \"-1\" is not a length of fibre in km, 0 or more"},
        RowCase{"a length beyond a double",
                {"i", "", "", "", "1e999"},
                LinkStatus::Error,
                "length: \"1e999\" is not a length of fibre in km, 0 or more"},
        RowCase{"a fibre not in the catalogue",
                {"j", "", "", "OM4", ""},
                LinkStatus::Error,
                "fibre: no fibre \"OM4\" in the catalogue"},
        RowCase{"a bit rate of 0 faults",
                {"k", "0", "", "", "5"},
                LinkStatus::Fault,
                "Floating point division by zero"},
        RowCase{"a number beyond a double faults in the run",
                {"l", "1e999", "", "", ""},
                LinkStatus::Fault,
                "Floating point overflow"},
        RowCase{"too few cells",
                {"m", "1", "NRZ"},
                LinkStatus::Error,
                "line 7: 3 cells where the header has 5"},
        RowCase{"one cell", {"n"}, LinkStatus::Error, "line 7: 1 cell where the header has 5"},
        RowCase{"a row the reader could not read",
                {},
                LinkStatus::Error,
                "line 7: text after the closing quote of a cell",
                "text after the closing quote of a cell"}),
    [](const auto& info) { return testNameOf(info.param.name); });

// State: one evaluator that runs rows one after another, and a fresh one for
// each row. Action: random rows, with empty and bad cells among them.
// Expected: the same outcome either way: no row takes a figure from the
// rows before it.
TEST(LinkEvaluator, noRowTakesAFigureFromTheRowsBefore) {
    const LinkColumns columns =
        columnsOf({"bitRate", "lineCode", "fibre", "length", "connectorCount", "fibreType"});
    const std::unique_ptr<Session> base = tavo().newSession();
    base->setText(*tavo().findInput("connectorCount"), "9");
    LinkEvaluator running(*base, columns);
    const std::vector<std::vector<std::string_view>> choices = {
        {"", "50", "x", "0"},  {"", "RZ", "nrz", "Q"},    {"", "G652", "OM3", "?"},
        {"", "10", "-2", "3"}, {"", "2", "1e999", "2,5"}, {"", "multimode", "SingleMode", "z"}};
    std::mt19937 random(7);
    for (std::size_t row = 1; row <= 400; ++row) {
        std::vector<std::string_view> cells;
        for (const auto& values : choices) {
            cells.push_back(values[random() % values.size()]);
        }
        const TableRow tableRow{row, 0, cells, {}};
        const LinkOutcome& o = running.evaluate(tableRow);
        LinkEvaluator fresh(*base, columns);
        const LinkOutcome& f = fresh.evaluate(tableRow);
        ASSERT_EQ(o.status, f.status) << row;
        ASSERT_EQ(o.error, f.error) << row;
        ASSERT_EQ(o.point.maximumDistance, f.point.maximumDistance) << row;
        ASSERT_EQ(o.budgets.has_value(), f.budgets.has_value()) << row;
        if (o.budgets) {
            ASSERT_EQ(o.budgets->powerMargin, f.budgets->powerMargin) << row;
            ASSERT_EQ(o.budgets->riseTimeMargin, f.budgets->riseTimeMargin) << row;
        }
        for (std::size_t i = 0; i < tavo().inputs().size(); ++i) {
            if (o.status != LinkStatus::Error) {
                ASSERT_EQ(running.session().text(i), fresh.session().text(i)) << row;
            }
        }
    }
}

} // namespace
} // namespace vantero::linktable
