#include "calculators/registry.h"
#include "common/linktable/evaluation.h"
#include "common/linktable/writers.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vantero::linktable {
namespace {

const Calculator& tavo() {
    return *findCalculator("tavo");
}

// The CSV of rows of tavo under a header, from its base.
std::string csvOf(std::vector<std::string_view> header,
                  const std::vector<std::vector<std::string_view>>& rows) {
    const LinkColumns columns(tavo(), header);
    const std::unique_ptr<Session> base = tavo().newSession();
    LinkEvaluator evaluator(*base, columns);
    std::string text;
    CsvWriter csv([&text](std::string_view bytes) { text.append(bytes); });
    writeCsvHeader(csv, columns);
    for (std::size_t r = 0; r < rows.size(); ++r) {
        writeCsvRow(csv, columns, evaluator.evaluate({r + 1, r + 2, rows[r], {}}));
    }
    csv.finish();
    return text;
}

TEST(LinkCsv, holdsTheColumnsOfItsTableOnly) {
    EXPECT_EQ(csvOf({"bitRate"}, {{"140"}}),
              "row,powerDistance,riseTimeDistance,maximumDistance,limitedBy,message,status,error\n"
              "1,39.55162619095688,,0,Dispersion,tempo de subida do sistema menor que a soma dos "
              "tempos do transmissor e do receptor,ok,\n");
    EXPECT_EQ(csvOf({"length", "id"}, {{"30", "a,b"}, {"", "\"c\""}}),
              "row,id,powerDistance,riseTimeDistance,maximumDistance,limitedBy,message,length,"
              "powerMargin,riseTimeMargin,powerBudgetMet,riseTimeBudgetMet,status,error\n"
              "1,\"a,b\",49.52537446258219,2274.8933119835656,49.52537446258219,Attenuation,,30,"
              "11.715224677549315,3.066208380124325,yes,yes,ok,\n"
              "2,\"\"\"c\"\"\",49.52537446258219,2274.8933119835656,49.52537446258219,Attenuation,"
              ",,,,,,ok,\n");
}

TEST(LinkCsv, aBadRowGivesItsRowIdStatusAndErrorOnly) {
    EXPECT_EQ(csvOf({"id", "connectorLoss", "length"}, {{"x", "0,5", "3"}, {"y", "1"}}),
              "row,id,powerDistance,riseTimeDistance,maximumDistance,limitedBy,message,length,"
              "powerMargin,riseTimeMargin,powerBudgetMet,riseTimeBudgetMet,status,error\n"
              "1,x,,,,,,,,,,,error,\"connectorLoss: \"\"0,5\"\" não é um número válido\"\n"
              "2,y,,,,,,,,,,,error,line 3: 2 cells where the header has 3\n");
}

// The rows after the header.
std::string rowsOf(const std::string& csv) {
    return csv.substr(csv.find('\n') + 1);
}

TEST(LinkCsv, aFaultGivesWhatWasFoundBeforeIt) {
    // A run that faults: its message, and no budgets.
    EXPECT_EQ(rowsOf(csvOf({"bitRate", "length"}, {{"0", "3"}})),
              "1,,,,,Floating point division by zero,3,,,,,fault,Floating point division by "
              "zero\n");
    // Budgets that fault in the rise-time budget: the power margin found
    // before the fault, and the budgets' verdicts left empty.
    const std::string row = rowsOf(csvOf({"chromaticDispersion", "length"}, {{"1e10", "1e308"}}));
    EXPECT_TRUE(row.starts_with("1,49.52537446258219,")) << row;
    EXPECT_TRUE(row.ends_with(",Dispersion,,1e+308,-6e+307,,,,fault,Floating point overflow\n"))
        << row;
}

TEST(JsonLines, putAnObjectOnOneLineWithoutTouchingItsStrings) {
    std::string line;
    appendOnOneLine(line, "{\n  \"a\": \"x,\\n  \\\" y\",\n  \"b\": [\n    1,\n    2\n  ]\n}\n");
    EXPECT_EQ(line, "{\"a\": \"x,\\n  \\\" y\", \"b\": [1, 2]}");
}

} // namespace
} // namespace vantero::linktable
