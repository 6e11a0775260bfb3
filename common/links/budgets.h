#pragma once

#include "common/links/choices.h"
#include "common/links/output.h"
#include "common/numbers/extended.h"
#include "pelkadi/newton.h"

#include <functional>
#include <optional>
#include <string_view>
#include <vector>

namespace vantero {

// Both budgets of a link at a given length of fibre, term by term: the
// reverse question of the distances (does a link of L km close, and with
// how much to spare?), answered from the same formulas and the same checked
// arithmetic, so that each margin is 0 where the calculation puts its
// distance.

// What a term is to its budget.
enum class TermKind {
    // What the budget has: the launched power (dBm), the system rise time
    // the line rate allows (ns).
    Available,
    // The receiver sensitivity (dBm): the least power the budget must leave.
    Required,
    // dB taken from the launched power.
    Loss,
    // A rise time (ns) of the link; the link's rise times add in quadrature.
    RiseTime,
    // The link's rise time: the root sum of squares of its rise times.
    Total,
};

// One term of a budget: a camel-case name for the command line, a caption in
// Portuguese for the report, its unit and its value.
struct BudgetTerm {
    std::string_view name;
    std::string_view caption;
    std::string_view unit; // "dBm", "dB" or "ns"
    TermKind kind;
    double value;
};

inline constexpr std::string_view dBm = "dBm";
inline constexpr std::string_view dB = "dB";
inline constexpr std::string_view ns = "ns";

// The two budgets at one length, each term in the order of the calculator's
// formula.
//
// - powerMargin (dB) is the launched power minus every other power term (the
//   sensitivity and each loss, the fibre's losses per km times the lengths of
//   fibre the light crosses): 0 at the power-budget distance, positive
//   nearer, negative farther.
// - riseTimeMargin (ns) is the system rise time allowed minus the link's
//   rise time, the root sum of squares of the transmitter-plus-receiver term,
//   the chromatic term and, for multimode fibre, the modal term: 0 at the
//   rise-time distance (for multimode fibre to within the convergence of
//   `Newton`). When the rise-time budget cannot be met (Ts^2 <= 2 te^2) it is
//   negative at every length but 0 (where Ts^2 = 2 te^2 makes it 0), and the
//   budget is not met at any length.
//
// A length below 0, or not a number, is no length of fibre: the invalid
// operation fault, before anything else. Otherwise the figures are converted
// in the order of a run and a failure ends the budgets at its step, as it
// ends a run: what was found before it stands (the power terms and margin
// come before the rise-time terms).
// (The margins divide by nothing, so a link whose distance faults on a
// division by zero may still have budgets at a length.)
struct LinkBudgets {
    double distance = 0; // km
    std::vector<BudgetTerm> powerTerms;
    std::vector<BudgetTerm> riseTimeTerms;
    std::optional<double> powerMargin;    // dB
    std::optional<double> riseTimeMargin; // ns
    // Ts^2 > 2 te^2: some length of fibre meets the rise-time budget.
    bool riseTimeBudgetPossible = false;
    std::optional<RunFault> fault;

    bool powerBudgetMet() const { return powerMargin && *powerMargin >= 0; }
    bool riseTimeBudgetMet() const {
        return riseTimeBudgetPossible && riseTimeMargin && *riseTimeMargin >= 0;
    }
};

// The exponent of the length in the modal rise time of multimode fibre: the
// model of `Newton` (libpelkadi), t_m L^0.7.
inline constexpr double modalLengthExponent = PELKADI_MODAL_LENGTH_EXPONENT;

// Adds a term to the power budget, in the order of the formula.
inline void addPowerTerm(LinkBudgets& budgets, std::string_view name, std::string_view caption,
                         std::string_view unit, TermKind kind, double value) {
    budgets.powerTerms.push_back({name, caption, unit, kind, value});
}

// Checks the length at the start of the budgets: the invalid operation fault
// for a negative length or one that is not a number.
void checkLength(double km);

// Adds the rise-time terms at `km` and sets riseTimeMargin: the system rise
// time allowed, the transmitter-plus-receiver term sqrt(2 te^2), the
// chromatic term |td| L, the modal term tm L^0.7 (multimode fibre only) and
// their root sum of squares, all from the rise times of the run (ns, and ns
// per km for td and tm).
void addRiseTimeBudget(LinkBudgets& budgets, double system, double electrical, double chromatic,
                       std::optional<double> modal, double km);

// Runs `steps`, which fill `budgets`, recording the failure that ends them.
template <typename Steps> LinkBudgets budgetsAt(double km, Steps&& steps) {
    LinkBudgets budgets;
    budgets.distance = km;
    // Room for the terms of every calculator's budgets at once.
    budgets.powerTerms.reserve(8);
    budgets.riseTimeTerms.reserve(6);
    runRecordingFault(budgets.fault, [&] {
        checkLength(km);
        steps(budgets);
    });
    return budgets;
}

} // namespace vantero
