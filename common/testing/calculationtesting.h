#pragma once

// Helpers for the tests of the link calculations.

#include "common/calculator/fields.h"
#include "common/links/choices.h"
#include "common/links/solver.h"

#include <cctype>
#include <functional>
#include <limits>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <vector>

namespace vantero {

// The names of the outputs a run set, in the order of the result table.
template <typename Result>
std::vector<std::string> setOutputNames(const Result& result,
                                        std::span<const ResultField<Result>> fields) {
    std::vector<std::string> names;
    for (const auto& field : fields) {
        if ((result.*field.member).isSet()) {
            names.emplace_back(field.name);
        }
    }
    return names;
}

// The text of the failure that ended a run, or "" when it ran through.
template <typename Result> std::string faultTextOf(const Result& result) {
    return result.fault ? result.fault->text() : "";
}

// A test name made of a case's readable name: every other character becomes
// an underscore.
inline std::string testNameOf(std::string name) {
    for (char& c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c))) {
            c = '_';
        }
    }
    return name;
}

inline constexpr const char* divisionByZeroText = "Floating point division by zero";
inline constexpr const char* invalidOperationText = "Invalid floating point operation";
inline constexpr const char* overflowText = "Floating point overflow";

// Solvers answering what no length of fibre is.
inline double PELKADI_CALL answerInfinity(double, double, double, double) {
    return std::numeric_limits<double>::infinity();
}
inline double PELKADI_CALL answerNotANumber(double, double, double, double) {
    return std::numeric_limits<double>::quiet_NaN();
}

// An input that ends a run with a failure: how it changes the initial
// figures, the failure's text and the outputs the run set before it.
template <typename Input> struct FaultCase {
    const char* name;
    std::function<void(Input&)> change;
    const char* fault;
    std::vector<std::string> setBefore;
    RiseTimeSolver solver = Newton;
};

template <typename Input> void PrintTo(const FaultCase<Input>& c, std::ostream* os) {
    *os << c.name;
}

// Runs `calculate` on the initial figures changed as the case says, and
// returns its result for the checks of the case.
template <typename Input, typename Calculate>
auto runFaultCase(const FaultCase<Input>& c, Calculate calculate) {
    Input in;
    c.change(in);
    return calculate(in, c.solver);
}

// The failures that the star and ring runs share, for either input record:
// each at its step, with the outputs set before it.
template <typename Input> std::vector<FaultCase<Input>> networkLinkFaultCases() {
    const std::vector<std::string> none;
    const std::vector<std::string> throughPower{"powerDistance"};
    const auto multimode = [](Input& in) { in.fibreType = FibreType::Multimode; };
    return {
        {"fibre attenuation 0", [](Input& in) { in.fibreAttenuation = "0"; }, divisionByZeroText,
         none},
        {"bit rate 0", [](Input& in) { in.bitRate = "0"; }, divisionByZeroText, throughPower},
        {"fibre bandwidth 0", [](Input& in) { in.fibreBandwidth = "0"; }, divisionByZeroText,
         throughPower},
        {"no chromatic dispersion", [](Input& in) { in.chromaticDispersion = "0"; },
         divisionByZeroText, throughPower},
        {"no spectral width", [](Input& in) { in.spectralWidth = "0"; }, divisionByZeroText,
         throughPower},
        {"multimode bandwidth 0",
         [=](Input& in) {
             multimode(in);
             in.normalizedBandwidth = "0";
         },
         divisionByZeroText, throughPower},
        {"multimode bandwidth 0 before any message",
         [=](Input& in) {
             multimode(in);
             in.bitRate = "1000"; // too fast for the budget
             in.normalizedBandwidth = "0";
         },
         divisionByZeroText, throughPower},
        {"multimode bandwidth beyond a double",
         [=](Input& in) {
             multimode(in);
             in.normalizedBandwidth = "1e400";
         },
         overflowText, throughPower},
        {"multimode without dispersion: an unlimited distance",
         [=](Input& in) {
             multimode(in);
             in.chromaticDispersion = "0";
             in.normalizedBandwidth = "1e300";
         },
         overflowText, throughPower},
        {"a solver answering beyond a double", multimode, overflowText, throughPower,
         answerInfinity},
        {"a solver answering not a number",
         multimode,
         invalidOperationText,
         {"powerDistance", "riseTimeDistance"},
         answerNotANumber},
        {"a launched power beyond a double", [](Input& in) { in.launchedPower = "1e400"; },
         overflowText, none},
        {"a comma in the bit rate", [](Input& in) { in.bitRate = "1,5"; },
         "\"1,5\" não é um número válido", none},
    };
}

// Stands in for Newton while it lives: records the four arguments of every
// call, and answers with the value it was given, or else with Newton's own
// answer.
class SolverProbe {
public:
    struct Call {
        double ts2;
        double te2x2;
        double td2;
        double tm2;
    };

    SolverProbe() { reset(); }
    ~SolverProbe() { reset(); }
    SolverProbe(const SolverProbe&) = delete;
    SolverProbe& operator=(const SolverProbe&) = delete;

    static double PELKADI_CALL solve(double ts2, double te2x2, double td2, double tm2) {
        s_calls.push_back({ts2, te2x2, td2, tm2});
        return s_answer ? *s_answer : Newton(ts2, te2x2, td2, tm2);
    }

    void answer(double value) { s_answer = value; }
    const std::vector<Call>& calls() const { return s_calls; }

private:
    static void reset() {
        s_calls.clear();
        s_answer.reset();
    }
    static inline std::vector<Call> s_calls;
    static inline std::optional<double> s_answer;
};

} // namespace vantero
