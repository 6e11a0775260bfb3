// Both budgets at a length, for every calculator through its session: the
// terms of known links, what a failed rise-time budget and a faulting link
// give, and the property that ties the budgets to the distances: each margin
// is 0 where the calculation puts its distance, positive nearer and negative
// farther.

#include "calculators/registry.h"
#include "common/numbers/formatting.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace vantero {
namespace {

// Sets "name=value": an input's text or a choice's value by its name.
void set(Session& session, const std::string& setting) {
    const std::size_t equals = setting.find('=');
    const std::string name = setting.substr(0, equals);
    const std::string value = setting.substr(equals + 1);
    const Calculator& calculator = session.calculator();
    if (const auto input = calculator.findInput(name)) {
        session.setText(*input, value);
        return;
    }
    const auto choice = calculator.findChoice(name);
    ASSERT_TRUE(choice) << name;
    const auto& values = calculator.choices()[*choice].values;
    for (std::size_t v = 0; v < values.size(); ++v) {
        if (values[v] == value) {
            session.setChoice(*choice, static_cast<int>(v));
            return;
        }
    }
    FAIL() << setting;
}

std::unique_ptr<Session> link(const std::string& calculator,
                              const std::vector<std::string>& settings) {
    auto session = findCalculator(calculator)->newSession();
    for (const std::string& setting : settings) {
        set(*session, setting);
    }
    return session;
}

// "name=text" for each term, in order.
std::vector<std::string> terms(const std::vector<BudgetTerm>& budget) {
    std::vector<std::string> lines;
    for (const BudgetTerm& term : budget) {
        lines.push_back(std::string(term.name) + "=" + formatResult(term.value));
    }
    return lines;
}

std::optional<double> output(const RunReport& run, std::string_view name) {
    for (const RunOutput& o : run.outputs) {
        if (o.name == name && o.output.isNumber()) {
            return o.output.value();
        }
    }
    return std::nullopt;
}

struct TermsCase {
    const char* calculator;
    std::vector<std::string> settings;
    double km;
    std::vector<std::string> power;
    const char* powerMargin;
    std::vector<std::string> riseTime;
    const char* riseTimeMargin;
    bool riseTimeMet;
};

TEST(Budgets, giveEachTermInTheOrderOfTheFormula) {
    const std::vector<std::string> tavoPower{"launchedPower=0.00000", "gainMargin=5.00000",
                                             "sensitivity=-38.21522", "receiverPenalty=2.00000",
                                             "connectors=1.50000",    "splices=2.50000",
                                             "fibre=3.50000"};
    const TermsCase cases[] = {
        {"tavo",
         {},
         10,
         tavoPower,
         "23.71522",
         {"systemRiseTime=15.44118", "transmitterReceiverRiseTime=12.37437",
          "chromaticRiseTime=0.04060", "linkRiseTime=12.37444"},
         "3.06674",
         true},
        {"tavo",
         {"fibreType=Multimode"},
         10,
         tavoPower,
         "23.71522",
         {"systemRiseTime=15.44118", "transmitterReceiverRiseTime=12.37437",
          "chromaticRiseTime=0.04060", "modalRiseTime=22.15248", "linkRiseTime=25.37437"},
         "-9.93320",
         false},
        // The rise-time budget cannot be met: short of it even at 0 km.
        {"tavo",
         {"lineCode=RZ"},
         0,
         {},
         nullptr,
         {"systemRiseTime=7.72059", "transmitterReceiverRiseTime=12.37437",
          "chromaticRiseTime=0.00000", "linkRiseTime=12.37437"},
         "-4.65378",
         false},
        {"estrela",
         {},
         1,
         {"launchedPower=-10.00000", "receiverSensitivity=-36.00000", "connectors=4.00000",
          "couplerLoss=9.00000", "safetyMargin=3.00000", "fibre=0.70000"},
         "9.30000",
         {"systemRiseTime=6.12504", "transmitterReceiverRiseTime=4.94975",
          "chromaticRiseTime=83.00000", "linkRiseTime=83.14746"},
         "-77.02242",
         false},
        {"anel",
         {"isolatedStations=1"},
         2,
         {"launchedPower=-12.00000", "receiverSensitivity=-25.00000", "switchOutputLoss=1.00000",
          "switchInputLoss=1.00000", "safetyMargin=3.00000", "connectors=6.00000",
          "switchIsolation=1.00000", "fibre=1.40000"},
         "-0.40000",
         {"systemRiseTime=40.83359", "transmitterReceiverRiseTime=4.94975",
          "chromaticRiseTime=68.00000", "linkRiseTime=68.17991"},
         "-27.34632",
         false},
    };
    for (const TermsCase& c : cases) {
        SCOPED_TRACE(std::string(c.calculator) + " at " + std::to_string(c.km) + " km");
        const LinkBudgets b = link(c.calculator, c.settings)->budgetsAt(c.km);
        ASSERT_FALSE(b.fault) << b.fault->text();
        EXPECT_EQ(b.distance, c.km);
        if (c.powerMargin != nullptr) {
            EXPECT_EQ(terms(b.powerTerms), c.power);
            EXPECT_EQ(formatResult(*b.powerMargin), c.powerMargin);
            EXPECT_EQ(b.powerBudgetMet(), *b.powerMargin >= 0);
        }
        EXPECT_EQ(terms(b.riseTimeTerms), c.riseTime);
        EXPECT_EQ(formatResult(*b.riseTimeMargin), c.riseTimeMargin);
        EXPECT_EQ(b.riseTimeBudgetMet(), c.riseTimeMet);
    }
}

struct FaultCase {
    const char* name;
    const char* calculator;
    std::vector<std::string> settings;
    double km;
    const char* fault; // "" for none
    std::size_t powerTerms;
    bool powerMargin;
};

TEST(Budgets, endAtTheirFaultingStep) {
    const double huge = 1e308;
    const FaultCase cases[] = {
        {"a negative length", "tavo", {}, -1, "Invalid floating point operation", 0, false},
        {"a length that is not a number",
         "anel",
         {},
         std::nan(""),
         "Invalid floating point operation",
         0,
         false},
        {"a bit rate of 0: the sensitivity curve",
         "tavo",
         {"bitRate=0"},
         1,
         "Floating point division by zero",
         0,
         false},
        {"no cable section: the splices per km",
         "tavo",
         {"cableSectionLength=0"},
         1,
         "Floating point division by zero",
         5,
         false},
        {"a text that is not a number",
         "estrela",
         {"couplerLoss=1,5"},
         1,
         "\"1,5\" não é um número válido",
         0,
         false},
        {"an infinite length", "tavo", {}, HUGE_VAL, "Floating point overflow", 5, false},
        {"a length whose rise time overflows",
         "estrela",
         {},
         huge,
         "Floating point overflow",
         6,
         true},
        {"no modal bandwidth",
         "anel",
         {"fibreType=Multimode", "normalizedBandwidth=0"},
         1,
         "Floating point division by zero",
         8,
         true},
        // The distance divides by the attenuation; the margins do not.
        {"no fibre attenuation", "estrela", {"fibreAttenuation=0"}, 1, "", 6, true},
        {"no dispersion in single-mode fibre", "anel", {"chromaticDispersion=0"}, 1, "", 8, true},
    };
    for (const FaultCase& c : cases) {
        SCOPED_TRACE(c.name);
        const LinkBudgets b = link(c.calculator, c.settings)->budgetsAt(c.km);
        EXPECT_EQ(b.fault ? b.fault->text() : "", c.fault);
        EXPECT_EQ(b.powerTerms.size(), c.powerTerms);
        EXPECT_EQ(b.powerMargin.has_value(), c.powerMargin);
        EXPECT_EQ(b.riseTimeMargin.has_value(), !b.fault);
    }
}

// The margin of one budget at a length, and whether the budget is met.
using Margin = std::optional<double> LinkBudgets::*;

// Checks that `margin` vanishes at `distance` and changes sign there, from
// positive nearer to negative farther; `tolerance` is relative to `scale`.
void expectZeroAt(const Session& session, Margin margin, double distance, double scale,
                  double tolerance) {
    const auto at = [&](double km) {
        const LinkBudgets b = session.budgetsAt(km);
        EXPECT_FALSE(b.fault) << b.fault->text();
        return (b.*margin).value_or(std::nan(""));
    };
    EXPECT_LE(std::fabs(at(distance)), tolerance * scale) << "at " << distance;
    EXPECT_GT(at(distance * (1 - 1e-6)), 0) << "nearer than " << distance;
    EXPECT_LT(at(distance * (1 + 1e-6)), 0) << "farther than " << distance;
}

// Checks both margins at the distances the run of `session` gives, or that
// the rise-time margin is negative everywhere when the run finds no rise-time
// distance; counts what it checked.
struct Checked {
    int power = 0;
    int riseTime = 0;
    int failedRiseTime = 0;
};

void expectMarginsVanishAtTheDistances(const Session& session, Checked& checked) {
    const RunReport run = session.run();
    if (run.fault) {
        return;
    }
    const LinkBudgets near = session.budgetsAt(0);
    ASSERT_FALSE(near.fault);
    const double powerScale = std::fabs(*near.powerMargin) + 1;
    const double riseTimeScale = near.riseTimeTerms.front().value;
    const auto lp = output(run, "powerDistance");
    if (lp && *lp > 0) {
        expectZeroAt(session, &LinkBudgets::powerMargin, *lp, powerScale, 1e-12);
        ++checked.power;
    }
    if (const auto ld = output(run, "riseTimeDistance")) {
        // Newton stops on a step below 1e-12 of the distance.
        expectZeroAt(session, &LinkBudgets::riseTimeMargin, *ld, riseTimeScale, 1e-9);
        ++checked.riseTime;
    } else {
        // No length of fibre meets a failed rise-time budget.
        for (const double km : {0.0, 1e-6, 1.0, 1e4}) {
            const LinkBudgets b = session.budgetsAt(km);
            EXPECT_LT(*b.riseTimeMargin, 0) << km;
            EXPECT_FALSE(b.riseTimeBudgetMet());
        }
        ++checked.failedRiseTime;
    }
}

TEST(Budgets, marginsVanishAtTheWorkedExamplesDistances) {
    struct Example {
        const char* calculator;
        std::vector<std::string> settings;
        const char* powerDistance;
        const char* riseTimeDistance;
    };
    const Example examples[] = {
        {"tavo", {}, "49.52537", "2274.89331"},
        {"tavo", {"fibreType=Multimode"}, "49.52537", nullptr},
        {"tavo", {"detectorType=0", "manualSensitivity=-40"}, nullptr, nullptr},
        {"estrela", {}, "14.28571", "0.04347"},
        {"estrela",
         {"spectralWidth=2", "chromaticDispersion=3.5", "fibreBandwidth=1000", "blockCode=8B10B"},
         "14.28571",
         "796.86887"},
        {"estrela", {"fibreType=Multimode"}, "14.28571", nullptr},
        {"anel", {}, "11.42857", "1.19213"},
        {"anel", {"lineCode=RZ"}, "11.42857", "0.58258"},
        {"anel", {"isolatedStations=1", "fibreType=Multimode"}, "1.42857", nullptr},
        // The rise-time budget cannot be met.
        {"tavo", {"lineCode=RZ"}, "49.52537", nullptr},
        {"anel", {"bitRate=1000", "fibreType=Multimode"}, "11.42857", nullptr},
    };
    for (const Example& e : examples) {
        SCOPED_TRACE(std::string(e.calculator) + (e.settings.empty() ? "" : " " + e.settings[0]));
        const auto session = link(e.calculator, e.settings);
        const RunReport run = session->run();
        if (e.powerDistance != nullptr) {
            EXPECT_EQ(formatResult(*output(run, "powerDistance")), e.powerDistance);
        }
        if (e.riseTimeDistance != nullptr) {
            EXPECT_EQ(formatResult(*output(run, "riseTimeDistance")), e.riseTimeDistance);
        }
        Checked checked;
        expectMarginsVanishAtTheDistances(*session, checked);
        EXPECT_EQ(checked.power, 1);
        EXPECT_EQ(checked.riseTime + checked.failedRiseTime, 1);
    }
}

// A link drawn at random: each input from its range, each choice at random
// among its values; the fibre type as given.
struct Range {
    const char* input;
    double low;
    double high;
};

std::unique_ptr<Session> randomLink(const Calculator& calculator, const std::vector<Range>& ranges,
                                    const char* fibreType, std::mt19937& random) {
    auto session = calculator.newSession();
    for (std::size_t i = 0; i < calculator.choices().size(); ++i) {
        const int values = static_cast<int>(calculator.choices()[i].values.size());
        const int first = calculator.choices()[i].firstItem;
        session->setChoice(i, std::uniform_int_distribution<int>(first, values - 1)(random));
    }
    set(*session, std::string("fibreType=") + fibreType);
    for (const Range& r : ranges) {
        char text[32];
        std::snprintf(text, sizeof text, "%.9g",
                      std::uniform_real_distribution<double>(r.low, r.high)(random));
        set(*session, std::string(r.input) + "=" + text);
    }
    return session;
}

TEST(Budgets, marginsVanishAtTheDistancesOfRandomLinks) {
    // The star and the ring share most of their inputs.
    const std::vector<Range> network{{"connectorLoss", 0, 1},
                                     {"safetyMargin", 0, 5},
                                     {"bitRate", 1, 1000},
                                     {"launchedPower", -15, 0},
                                     {"spectralWidth", 0.1, 100},
                                     {"receiverSensitivity", -45, -25},
                                     {"fibreAttenuation", 0.2, 3},
                                     {"fibreBandwidth", 50, 5000},
                                     {"chromaticDispersion", 0.5, 50},
                                     {"normalizedBandwidth", 20, 2000}};
    auto with = [](std::vector<Range> ranges, std::initializer_list<Range> more) {
        ranges.insert(ranges.end(), more);
        return ranges;
    };
    const std::vector<std::pair<const char*, std::vector<Range>>> calculators{
        {"tavo",
         {{"bitRate", 1, 200},
          {"launchedPower", -10, 5},
          {"fibreAttenuation", 0.15, 3},
          {"spliceLoss", 0, 0.5},
          {"gainMargin", 0, 6},
          {"connectorCount", 0, 8},
          {"connectorLoss", 0, 1},
          {"cableSectionLength", 1, 10},
          {"receiverPenalty", 0, 3},
          {"blockM", 1, 8},
          {"blockN", 1, 10},
          {"electricalBandwidth", 20, 2000},
          {"spectralWidth", 0.1, 60},
          {"chromaticDispersion", 0.5, 20},
          {"zeroDispersionWavelength", 1280, 1330},
          {"dispersionSlope", 0.05, 0.1},
          {"manualSensitivity", -50, -25},
          {"normalizedBandwidth", 20, 2000}}},
        {"estrela", with(network, {{"couplerLoss", 0, 15}})},
        {"anel", with(network, {{"switchIsolationLoss", 0, 2},
                                {"isolatedStations", 0, 6},
                                {"switchInputLoss", 0, 2},
                                {"switchOutputLoss", 0, 2}})},
    };
    std::mt19937 random(16);
    for (const auto& [name, ranges] : calculators) {
        for (const char* fibreType : {"SingleMode", "Multimode"}) {
            SCOPED_TRACE(std::string(name) + " " + fibreType);
            Checked checked;
            for (int i = 0; i < 300 && !HasFailure(); ++i) {
                const auto session = randomLink(*findCalculator(name), ranges, fibreType, random);
                expectMarginsVanishAtTheDistances(*session, checked);
            }
            // Enough links of each kind were checked.
            EXPECT_GT(checked.power, 250);
            EXPECT_GT(checked.riseTime, 200);
            EXPECT_GT(checked.failedRiseTime, 15);
        }
    }
}

} // namespace
} // namespace vantero
