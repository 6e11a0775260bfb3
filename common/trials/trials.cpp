#include "common/trials/trials.h"

#include "common/numbers/failure.h"
#include "common/runs/orderedblocks.h"
#include "common/trials/random.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace vantero::trials {

void checkPlan(const TrialPlan& plan) {
    if (plan.spreads.empty()) {
        throw SpreadError("the trials need a spread input");
    }
    for (std::size_t i = 0; i < plan.spreads.size(); ++i) {
        for (std::size_t j = 0; j < i; ++j) {
            if (plan.spreads[j].input == plan.spreads[i].input) {
                throw SpreadError(plan.spreads[i].name + " is spread twice");
            }
        }
    }
}

// The items of one spread drawn so far in this trial, and their running sums.
struct TrialRunner::Items {
    std::vector<double> values;
    std::vector<double> sums{0.0}; // sums[k]: the first k items
    std::uint64_t odd = 0;         // the bits of the next odd item, drawn with its pair
};

TrialRunner::TrialRunner(const Session& session, const TrialPlan& plan)
    : m_session(session.copy()), m_plan(plan), m_items(plan.spreads.size()) {
    for (std::size_t s = 0; s < plan.spreads.size(); ++s) {
        if (plan.spreads[s].itemsByLength) {
            m_byLength.push_back(s);
        }
    }
    m_outcome.inputs.resize(plan.spreads.size());
    m_outcome.at.resize(plan.lengths.size());
    for (TrialAtLength& at : m_outcome.at) {
        at.itemLosses.resize(m_byLength.size());
    }
    // Where the search for the distances of the items begins in every trial:
    // the power distance with every spread input at its mean.
    if (!m_byLength.empty()) {
        for (const Spread& spread : plan.spreads) {
            m_session->setNumber(spread.input, spread.mean());
        }
        const SweepPoint atMeans = m_session->runAt(plan.spreads[0].input, plan.spreads[0].mean());
        m_start = atMeans.powerDistance && !atMeans.fault ? *atMeans.powerDistance : 0;
    }
}

TrialRunner::~TrialRunner() = default;

namespace {

std::array<std::uint64_t, 2> bits(const TrialPlan& plan, std::uint64_t trial, std::size_t spread,
                                  std::uint32_t pair) {
    return drawBits(plan.seed, {trial, static_cast<std::uint32_t>(spread), pair});
}

// A fault as the user is shown it: a text that is not a number after its
// input's name.
std::string faultText(const Failure& failure) {
    const auto* number = dynamic_cast<const NumberFormatFailure*>(&failure);
    return number != nullptr && !number->input().empty() ? number->input() + ": " + failure.text()
                                                         : failure.text();
}

// The pair of draws whose first stands for the mean of many items.
constexpr std::uint32_t meanOfItems = std::numeric_limits<std::uint32_t>::max();

} // namespace

// The loss of each of `count` items as the budget takes it: the whole items
// and the fraction of the next (the budget spreads a splice's loss over its
// cable section), over the count. No items: the first.
double TrialRunner::itemMean(std::size_t s, double count) {
    const Spread& spread = m_plan.spreads[s];
    Items& items = m_items[s];
    const auto item = [&](std::size_t i) {
        while (items.values.size() <= i) {
            const std::size_t next = items.values.size();
            std::uint64_t drawn = items.odd;
            if (next % 2 == 0) {
                const auto pair = bits(m_plan, m_trial, s, static_cast<std::uint32_t>(next / 2));
                drawn = pair[0];
                items.odd = pair[1];
            }
            const double value = spread.valueAt(openUnitInterval(drawn));
            items.values.push_back(value);
            items.sums.push_back(items.sums.back() + value);
        }
        return items.values[i];
    };
    if (!(count > 0) || !std::isfinite(count)) {
        return item(0);
    }
    const double whole = std::floor(count);
    const double fraction = count - whole;
    if (count > static_cast<double>(drawnItemLimit)) {
        const double z =
            standardNormalQuantile(openUnitInterval(bits(m_plan, m_trial, s, meanOfItems)[0]));
        return spread.mean() +
               spread.standardDeviation() * std::sqrt(whole + fraction * fraction) / count * z;
    }
    const auto k = static_cast<std::size_t>(whole);
    const double last = fraction > 0 ? fraction * item(k) : 0.0;
    if (k > 0) {
        item(k - 1);
    }
    return (items.sums[k] + last) / count;
}

// A run with the item losses that grow with the length at their values for
// `km` km.
SweepPoint TrialRunner::runWithLengthItems(double km) {
    double value = 0;
    for (const std::size_t s : m_byLength) {
        const Spread& spread = m_plan.spreads[s];
        value = itemMean(s, m_session->itemCount(*spread.itemLoss, km));
        m_outcome.inputs[s] = value;
        if (s != m_byLength.back()) {
            m_session->setNumber(spread.input, value);
        }
    }
    return m_session->runAt(m_plan.spreads[m_byLength.back()].input, value);
}

namespace {

// Searches for the length L that the distance a probe gives for L is L
// itself: probe(L) gives that distance, or none to stop there. The first
// step takes the distance for L; then, since the items of a budget grow in
// proportion to the length, 1/D - 1/L is linear in 1/L within a cable
// section, and a secant step there lands on L once two lengths lie in the
// section that holds it. Steps that leave the bracket found halve it
// instead. Gives the last length probed.
template <typename Probe> double searchLength(double start, Probe probe) {
    double length = start;
    double low = -std::numeric_limits<double>::infinity();
    double high = std::numeric_limits<double>::infinity();
    std::optional<std::pair<double, double>> previous; // a length and its distance
    for (int step = 0; step < 64; ++step) {
        const std::optional<double> found = probe(length);
        if (!found) {
            break;
        }
        const double distance = *found;
        const double gap = distance - length;
        if (std::fabs(gap) <= 1e-12 * std::max(1.0, std::fabs(length))) {
            break;
        }
        (gap > 0 ? low : high) = length;
        double next = distance;
        if (previous && length > 0 && distance > 0 && previous->first > 0 && previous->second > 0) {
            const double u0 = 1 / previous->first;
            const double w0 = 1 / previous->second - u0;
            const double u1 = 1 / length;
            const double w1 = 1 / distance - u1;
            const double u = u1 - w1 * (u1 - u0) / (w1 - w0);
            if (w1 != w0 && u > 0) {
                next = 1 / u;
            }
        }
        if (std::isfinite(low) && std::isfinite(high) && !(next > low && next < high)) {
            next = low + (high - low) / 2;
        }
        previous = {length, distance};
        length = next;
    }
    return length;
}

std::optional<double> distanceOf(const SweepPoint& point) {
    return point.powerDistance && !point.fault ? point.powerDistance : std::nullopt;
}

} // namespace

// The power distance of a trial whose item losses grow with the length: the
// length L where the power margin, with the items a link of L km has, is 0,
// that is where the run's power distance with those items is L itself.
//
// The power distance of the budgets is the power left for the fibre over
// its loss per km, in which the loss g of each item counts in proportion,
// so that 1/D is linear in g: two runs tell the line, and the search for L
// then needs no run, only the items' mean at each length probed. The run at
// the length found checks it; where it does not agree (a budget of another
// shape, more than one such input), the search goes on with runs.
SweepPoint TrialRunner::solveLengthItems() {
    SweepPoint point;
    const auto run = [&](double km) {
        point = runWithLengthItems(km);
        return distanceOf(point);
    };
    if (m_byLength.size() != 1) {
        searchLength(m_start, run);
        return point;
    }
    const std::size_t s = m_byLength[0];
    const auto count = [&](double km) {
        return m_session->itemCount(*m_plan.spreads[s].itemLoss, km);
    };
    const std::optional<double> first = run(m_start);
    const double g1 = m_outcome.inputs[s];
    if (!first || !(*first > 0)) {
        searchLength(first.value_or(m_start), run);
        return point;
    }
    // The line 1/D = intercept + slope g, g the loss of each item.
    std::optional<std::pair<double, double>> line;
    double start = *first;
    // From the budgets at a length L of the plan, already found: the power
    // P left for the fibre, less its loss per km alpha and the r L items of
    // g there, is the margin M; and D = P / (alpha + r g).
    for (std::size_t l = 0; l < m_plan.lengths.size() && !line; ++l) {
        const double km = m_plan.lengths[l];
        const TrialAtLength& at = m_outcome.at[l];
        const double perKm = count(km) / km;
        if (!(km > 0) || !at.powerMargin || !std::isfinite(perKm) ||
            !(std::fabs(*first - km) > 1e-6 * *first)) {
            continue;
        }
        const double g = at.itemLosses[0];
        const double alpha = (*at.powerMargin - perKm * (*first * g1 - km * g)) / (*first - km);
        const double power = *first * (alpha + perKm * g1);
        if (power > 0) {
            line = {alpha / power, perKm / power};
        }
    }
    // Or from a second run.
    if (!line) {
        const std::optional<double> second = run(*first);
        const double g2 = m_outcome.inputs[s];
        if (!second) {
            return point;
        }
        start = *second;
        if (g2 != g1 && *second > 0) {
            const double slope = (1 / *second - 1 / *first) / (g2 - g1);
            line = {1 / *first - slope * g1, slope};
        }
    }
    if (line) {
        const auto [intercept, slope] = *line;
        start = searchLength(start, [&](double km) -> std::optional<double> {
            const double inverse = intercept + slope * itemMean(s, count(km));
            return inverse > 0 ? std::optional(1 / inverse) : std::nullopt;
        });
    }
    searchLength(start, run);
    return point;
}

void TrialRunner::runTrial() {
    const auto& spreads = m_plan.spreads;
    // The inputs drawn once, then the item losses whose count does not
    // depend on the length (it may depend on an input drawn before).
    for (std::size_t s = 0; s < spreads.size(); ++s) {
        if (!spreads[s].itemLoss) {
            m_outcome.inputs[s] =
                spreads[s].valueAt(openUnitInterval(bits(m_plan, m_trial, s, 0)[0]));
            m_session->setNumber(spreads[s].input, m_outcome.inputs[s]);
        }
    }
    std::size_t last = spreads.size() - 1;
    for (std::size_t s = 0; s < spreads.size(); ++s) {
        if (spreads[s].itemLoss && !spreads[s].itemsByLength) {
            m_outcome.inputs[s] = itemMean(s, m_session->itemCount(*spreads[s].itemLoss, 0));
            m_session->setNumber(spreads[s].input, m_outcome.inputs[s]);
            last = s;
        }
    }

    // Both budgets at each length (before the distances, which may use
    // them), up to the first that faults.
    std::optional<std::string> budgetsFault;
    for (std::size_t l = 0; l < m_plan.lengths.size() && !budgetsFault; ++l) {
        const double km = m_plan.lengths[l];
        TrialAtLength& at = m_outcome.at[l];
        for (std::size_t i = 0; i < m_byLength.size(); ++i) {
            const Spread& spread = spreads[m_byLength[i]];
            at.itemLosses[i] = itemMean(m_byLength[i], m_session->itemCount(*spread.itemLoss, km));
            m_session->setNumber(spread.input, at.itemLosses[i]);
        }
        const LinkBudgets budgets = m_session->budgetsAt(km);
        at.powerMargin = budgets.powerMargin;
        at.riseTimeMargin = budgets.riseTimeMargin;
        at.powerBudgetMet = budgets.powerBudgetMet();
        at.riseTimeBudgetMet = budgets.riseTimeBudgetMet();
        if (budgets.fault) {
            budgetsFault = faultText(budgets.fault->failure());
        }
    }

    const SweepPoint point = m_byLength.empty()
                                 ? m_session->runAt(spreads[last].input, m_outcome.inputs[last])
                                 : solveLengthItems();
    m_outcome.powerDistance = point.powerDistance;
    m_outcome.riseTimeDistance = point.riseTimeDistance;
    m_outcome.maximumDistance = point.maximumDistance;
    m_outcome.limitedBy = point.limitedBy;
    if (point.fault) {
        // A run that faults gives no budgets.
        m_outcome.fault = faultText(point.fault->failure());
        clearBudgets();
        return;
    }
    m_outcome.fault = budgetsFault;
}

void TrialRunner::clearBudgets() {
    for (TrialAtLength& at : m_outcome.at) {
        std::fill(at.itemLosses.begin(), at.itemLosses.end(),
                  std::numeric_limits<double>::quiet_NaN());
        at.powerMargin.reset();
        at.riseTimeMargin.reset();
        at.powerBudgetMet = false;
        at.riseTimeBudgetMet = false;
    }
}

const TrialOutcome& TrialRunner::run(std::uint64_t trial) {
    m_trial = trial;
    for (Items& items : m_items) {
        items.values.clear();
        items.sums.resize(1);
    }
    m_outcome.powerDistance.reset();
    m_outcome.riseTimeDistance.reset();
    m_outcome.maximumDistance.reset();
    m_outcome.limitedBy.reset();
    m_outcome.fault.reset();
    clearBudgets();
    try {
        runTrial();
    } catch (const NumberFormatFailure& failure) {
        m_outcome.fault = faultText(failure);
    } catch (const ArithmeticFault& failure) {
        m_outcome.fault = faultText(failure);
    }
    return m_outcome;
}

namespace {

TrialSummary emptySummary(const TrialPlan& plan, bool exact) {
    TrialSummary summary;
    summary.seed = plan.seed;
    summary.powerDistance = FigureSample(exact);
    summary.riseTimeDistance = FigureSample(exact);
    summary.maximumDistance = FigureSample(exact);
    for (const double km : plan.lengths) {
        LengthSummary& at = summary.at.emplace_back();
        at.distance = km;
        at.powerMargin = FigureSample(exact);
        at.riseTimeMargin = FigureSample(exact);
    }
    return summary;
}

void addOutcome(TrialSummary& summary, const TrialOutcome& o) {
    ++summary.trials;
    for (auto [sample, value] : {std::pair{&summary.powerDistance, &o.powerDistance},
                                 std::pair{&summary.riseTimeDistance, &o.riseTimeDistance},
                                 std::pair{&summary.maximumDistance, &o.maximumDistance}}) {
        if (*value) {
            sample->add(**value);
        }
    }
    if (o.limitedBy) {
        ++(*o.limitedBy == LimitingFactor::Attenuation ? summary.limitedByAttenuation
                                                       : summary.limitedByDispersion);
    }
    // Budgets not found (after a fault) meet nothing and give no margin;
    // those found before a fault stand.
    for (std::size_t l = 0; l < summary.at.size(); ++l) {
        LengthSummary& at = summary.at[l];
        const TrialAtLength& trial = o.at[l];
        at.powerBudgetMet += trial.powerBudgetMet ? 1 : 0;
        at.riseTimeBudgetMet += trial.riseTimeBudgetMet ? 1 : 0;
        at.bothMet += trial.powerBudgetMet && trial.riseTimeBudgetMet ? 1 : 0;
        if (trial.powerMargin) {
            at.powerMargin.add(*trial.powerMargin);
        }
        if (trial.riseTimeMargin) {
            at.riseTimeMargin.add(*trial.riseTimeMargin);
        }
    }
    if (o.fault && summary.faulted++ == 0) {
        summary.firstFault = o.fault;
    }
}

void mergeSummary(TrialSummary& total, TrialSummary&& later) {
    total.trials += later.trials;
    total.powerDistance.merge(std::move(later.powerDistance));
    total.riseTimeDistance.merge(std::move(later.riseTimeDistance));
    total.maximumDistance.merge(std::move(later.maximumDistance));
    total.limitedByAttenuation += later.limitedByAttenuation;
    total.limitedByDispersion += later.limitedByDispersion;
    for (std::size_t l = 0; l < total.at.size(); ++l) {
        LengthSummary& at = total.at[l];
        at.powerBudgetMet += later.at[l].powerBudgetMet;
        at.riseTimeBudgetMet += later.at[l].riseTimeBudgetMet;
        at.bothMet += later.at[l].bothMet;
        at.powerMargin.merge(std::move(later.at[l].powerMargin));
        at.riseTimeMargin.merge(std::move(later.at[l].riseTimeMargin));
    }
    if (total.faulted == 0) {
        total.firstFault = std::move(later.firstFault);
    }
    total.faulted += later.faulted;
}

struct Block {
    TrialSummary summary;
    std::string csv;
};

void appendNumber(std::string& out, double value) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
}

void appendNumber(std::string& out, const std::optional<double>& value) {
    if (value && !std::isnan(*value)) {
        appendNumber(out, *value);
    }
}

// A cell of text, in quotes when it holds a comma, a quote or a line break.
void appendText(std::string& out, std::string_view text) {
    if (text.find_first_of(",\"\n\r") == std::string_view::npos) {
        out += text;
        return;
    }
    out += '"';
    for (const char c : text) {
        out += c;
        if (c == '"') {
            out += '"';
        }
    }
    out += '"';
}

} // namespace

TrialHistograms trialHistograms(const TrialSummary& summary, std::size_t bins) {
    TrialHistograms histograms;
    histograms.maximumDistance = summary.maximumDistance.histogram(bins);
    for (const LengthSummary& at : summary.at) {
        histograms.powerMargin.push_back(at.powerMargin.histogram(bins));
        histograms.riseTimeMargin.push_back(at.riseTimeMargin.histogram(bins));
    }
    return histograms;
}

std::string trialCsvHeader(const TrialPlan& plan) {
    std::string header = "trial";
    for (const Spread& spread : plan.spreads) {
        header += ',' + spread.name;
    }
    header += ",powerDistance,riseTimeDistance,maximumDistance,limitedBy";
    for (const double km : plan.lengths) {
        std::string at = "@";
        appendNumber(at, km);
        for (const Spread& spread : plan.spreads) {
            if (spread.itemsByLength) {
                header += ',' + spread.name + at;
            }
        }
        header += ",powerMargin" + at + ",riseTimeMargin" + at;
    }
    return header + ",fault\n";
}

void appendTrialCsvRow(std::string& csv, std::uint64_t trial, const TrialOutcome& o) {
    csv += std::to_string(trial + 1);
    for (const double input : o.inputs) {
        csv += ',';
        appendNumber(csv, input);
    }
    for (const auto* value : {&o.powerDistance, &o.riseTimeDistance, &o.maximumDistance}) {
        csv += ',';
        appendNumber(csv, *value);
    }
    csv += ',';
    if (o.limitedBy) {
        csv += limitingFactorName(*o.limitedBy);
    }
    for (const TrialAtLength& at : o.at) {
        for (const double loss : at.itemLosses) {
            csv += ',';
            appendNumber(csv, loss);
        }
        csv += ',';
        appendNumber(csv, at.powerMargin);
        csv += ',';
        appendNumber(csv, at.riseTimeMargin);
    }
    csv += ',';
    if (o.fault) {
        appendText(csv, *o.fault);
    }
    csv += '\n';
}

TrialSummary runTrials(const Session& session, const TrialPlan& plan, const RowSink& rows) {
    checkPlan(plan);
    const std::uint64_t figures = 3 + 2 * plan.lengths.size();
    const bool exact = plan.trials <= plan.exactValues / figures;
    // Blocks of a size set by the plan alone, so that the sums of the blocks
    // come out the same whatever the threads.
    const std::uint64_t blockTrials = exact ? 8192 : 65536;
    const std::uint64_t blocks = (plan.trials + blockTrials - 1) / blockTrials;

    TrialSummary total = emptySummary(plan, exact);
    for (FigureSample* sample :
         {&total.powerDistance, &total.riseTimeDistance, &total.maximumDistance}) {
        sample->reserve(plan.trials);
    }
    for (LengthSummary& at : total.at) {
        at.powerMargin.reserve(plan.trials);
        at.riseTimeMargin.reserve(plan.trials);
    }
    runIndexedBlocks<Block>(
        static_cast<std::size_t>(blocks), plan.threads,
        [&] {
            return [&, runner = std::make_shared<TrialRunner>(session, plan)](std::size_t b) {
                Block block{emptySummary(plan, exact), {}};
                const std::uint64_t first = b * blockTrials;
                const std::uint64_t end = std::min(plan.trials, first + blockTrials);
                for (std::uint64_t t = first; t < end; ++t) {
                    const TrialOutcome& outcome = runner->run(t);
                    addOutcome(block.summary, outcome);
                    if (rows) {
                        appendTrialCsvRow(block.csv, t, outcome);
                    }
                }
                return block;
            };
        },
        [&](Block&& block) {
            if (rows) {
                rows(block.csv);
            }
            mergeSummary(total, std::move(block.summary));
        });
    // The figures' points, each on a thread of its own.
    std::vector<FigureSample*> samples{&total.powerDistance, &total.riseTimeDistance,
                                       &total.maximumDistance};
    for (LengthSummary& at : total.at) {
        samples.insert(samples.end(), {&at.powerMargin, &at.riseTimeMargin});
    }
    runIndexedBlocks<bool>(
        samples.size(), plan.threads,
        [&] { return [&](std::size_t i) { return samples[i]->statistics().has_value(); }; },
        [](bool) {});
    return total;
}

} // namespace vantero::trials
