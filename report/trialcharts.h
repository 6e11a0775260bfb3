#pragma once

#include "common/calculator/calculator.h"
#include "common/links/budgets.h"
#include "common/trials/trials.h"
#include "report/geometry.h"
#include "report/linechart.h"
#include "report/look.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vantero::report {

// The histograms of the trials of a statistical budget (common/trials/
// trials.h), apart from their painting: what they show, gathered from the
// trials' summary, and where everything goes, through the one layout of every
// chart (report/linechart.h). A histogram is a chart with bars: the share of
// all the trials in each bin against the figure, the 1, 50 and 99 % points
// marked with their values, and on a margin the budget's limit, a margin of
// 0, the bars short of it in the colour of what is missing. No Qt.

// One figure of the trials, with its histogram and its statistics over the
// trials that gave it (none when no trial did).
struct TrialFigure {
    std::string title;     // above the chart: "Margem de potência a 40 km"
    std::string axisTitle; // "Margem de potência (dB)"
    std::string unit;      // "dB"
    bool margin = false;   // its budget is met from 0 on
    std::optional<trials::Histogram> histogram;
    std::optional<trials::Statistics> statistics;

    // Whether the trials gave it more than one value.
    bool varies() const { return histogram && histogram->high > histogram->low; }
};

// What the trials gave at one length: the shares of all the trials that met
// each budget and both, and both margins.
// The worst case beside them is the link of the inputs as given (the design
// report's): whether it meets each budget there, none where its budgets
// fault.
struct TrialLength {
    double distance = 0;
    double powerBudgetMet = 0;
    double riseTimeBudgetMet = 0;
    double bothMet = 0;
    TrialFigure powerMargin;
    TrialFigure riseTimeMargin;
    std::optional<bool> worstPowerBudgetMet;
    std::optional<bool> worstRiseTimeBudgetMet;
};

// Everything the histograms of a run of trials show.
struct TrialCharts {
    std::string caption; // the calculator window's
    std::string program; // "tavo"
    std::uint64_t trials = 0;
    std::uint64_t seed = 0;
    std::vector<std::string> spreads; // as given: "connectorLoss=normal:0.3,0.1"
    TrialFigure maximumDistance;
    double limitedByAttenuation = 0; // shares of all the trials
    double limitedByDispersion = 0;
    std::vector<TrialLength> at;
    double faulted = 0;
    std::optional<std::string> firstFault;
};

// Gathers the histograms (in trials::histogramBins bins) and the statistics
// of `summary`, the trials of `plan` on `calculator`.
TrialCharts trialCharts(const Calculator& calculator, const trials::TrialPlan& plan,
                        trials::TrialSummary& summary);

// Sets the worst case of each length from the budgets of the inputs as given
// at the same lengths, in order.
void setWorstCase(TrialCharts& charts, const std::vector<LinkBudgets>& budgets);

// What the verdict of a budget says: "atende", "não atende", or "—" where the
// budgets fault.
std::string verdictText(std::optional<bool> met);

// A share of the trials as a percentage with two decimals, never 0 or 100
// when some trials but not all are in it: "84.13 %", "< 0.01 %",
// "> 99.99 %".
std::string percentText(double share);

// The histogram of one figure in `area`: a bar for each bin, as high as the
// share of all `trials` in it (so the bars of a figure some trials did not
// give add up to less than 100 %); the x axis over the bins, to 0 when that
// is no farther than their span on a margin; the 1, 50 and 99 % points as
// dashed lines labelled with their values; on a margin, the limit of the
// budget at 0, and the bars below it (a bin across it in two parts) in the
// colour of what is missing. `subtitle` goes under the title. A figure no
// trial gave is said in the middle of an empty plot. histogramPlan is what
// it shows, in the figure's units and percentages; trialHistogram, that laid
// out in `area`.
LinePlan histogramPlan(const TrialFigure& figure, std::uint64_t trials,
                       const std::string& subtitle);
LineChart trialHistogram(const TrialFigure& figure, std::uint64_t trials,
                         const std::string& subtitle, const Box& area, const ChartLook& look,
                         const TextMeasure& measure);

// What a histogram's subtitle says of its statistics: "média 1.964 dB,
// desvio padrão 0.3788 dB"; empty when no trial gave the figure.
std::string statisticsText(const TrialFigure& figure);

// The subtitle of each histogram of the picture and of the report: the
// statistics, and for a margin the share of the trials that meet its budget
// (the power margin's also the one value of a rise-time margin that does
// not vary).
std::string maximumDistanceSubtitle(const TrialCharts& charts);
std::string powerMarginSubtitle(const TrialLength& at);
std::string riseTimeMarginSubtitle(const TrialLength& at);

// The picture of the histograms: the caption, the trials and the spreads
// above; a row with the maximum distance; a row for each length with the
// power margin and, when the trials gave it more than one value, the
// rise-time margin beside it (else its one value is said under the power
// margin's title). At most `plottedLengths` lengths: the picture grows a row
// for each; the lengths left out are said above.
inline constexpr std::size_t plottedLengths = 12;
inline constexpr double trialPictureWidth = 1200;
double trialPictureHeight(const TrialCharts& charts);

struct TrialPicture {
    std::vector<Label> titles;
    std::vector<LineChart> charts;
};

// The lines of the picture's heading below the caption: the program, the
// trials and the seed; each spread; the faulted trials and the lengths left
// out, when there are any.
std::vector<std::string> trialHeading(const TrialCharts& charts);

TrialPicture layoutTrialPicture(const TrialCharts& charts, const ChartLook& look,
                                const TextMeasure& measure);

} // namespace vantero::report
