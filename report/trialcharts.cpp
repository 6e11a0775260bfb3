#include "report/trialcharts.h"

#include "report/axis.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace vantero::report {
namespace {

double shareOf(std::uint64_t count, std::uint64_t trials) {
    return trials == 0 ? 0 : static_cast<double>(count) / static_cast<double>(trials);
}

TrialFigure figureOf(std::string title, std::string axisTitle, std::string unit, bool margin,
                     std::optional<trials::Histogram> histogram, trials::FigureSample& sample) {
    TrialFigure figure;
    figure.title = std::move(title);
    figure.axisTitle = std::move(axisTitle) + " (" + unit + ")";
    figure.unit = std::move(unit);
    figure.margin = margin;
    figure.histogram = std::move(histogram);
    figure.statistics = sample.statistics();
    return figure;
}

std::string valueText(double value, const std::string& unit) {
    return shortNumber(value) + " " + unit;
}

// The x axis of a histogram: over its bins, to 0 on a margin when that is no
// farther than their span.
Axis histogramAxis(const TrialFigure& figure) {
    double low = figure.histogram->low;
    double high = figure.histogram->high;
    if (figure.margin) {
        const double span = high - low;
        if (low > 0 && low <= span) {
            low = 0;
        } else if (high < 0 && -high <= span) {
            high = 0;
        }
    }
    return roundAxis(low, high, 8);
}

std::string kmText(double km) {
    return shortNumber(km) + " km";
}

} // namespace

std::string percentText(double share) {
    if (share > 0 && share < 0.00005) {
        return "< 0.01 %";
    }
    if (share < 1 && share > 0.99995) {
        return "> 99.99 %";
    }
    if (share <= 0 || share >= 1) {
        return share <= 0 ? "0 %" : "100 %";
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.2f %%", 100 * share);
    return text;
}

std::string verdictText(std::optional<bool> met) {
    return !met ? "—" : *met ? "atende" : "não atende";
}

TrialCharts trialCharts(const Calculator& calculator, const trials::TrialPlan& plan,
                        trials::TrialSummary& summary) {
    TrialCharts charts;
    charts.caption = calculator.caption();
    charts.program = calculator.name();
    charts.trials = summary.trials;
    charts.seed = summary.seed;
    for (const trials::Spread& spread : plan.spreads) {
        charts.spreads.push_back(trials::spreadText(spread));
    }
    trials::TrialHistograms histograms = trials::trialHistograms(summary);
    charts.maximumDistance =
        figureOf("Distância máxima", "Distância máxima", "km", false,
                 std::move(histograms.maximumDistance), summary.maximumDistance);
    charts.limitedByAttenuation = shareOf(summary.limitedByAttenuation, summary.trials);
    charts.limitedByDispersion = shareOf(summary.limitedByDispersion, summary.trials);
    for (std::size_t i = 0; i < summary.at.size(); ++i) {
        trials::LengthSummary& at = summary.at[i];
        TrialLength length;
        length.distance = at.distance;
        length.powerBudgetMet = shareOf(at.powerBudgetMet, summary.trials);
        length.riseTimeBudgetMet = shareOf(at.riseTimeBudgetMet, summary.trials);
        length.bothMet = shareOf(at.bothMet, summary.trials);
        length.powerMargin =
            figureOf("Margem de potência a " + kmText(at.distance), "Margem de potência", "dB",
                     true, std::move(histograms.powerMargin[i]), at.powerMargin);
        length.riseTimeMargin = figureOf(
            "Margem de tempo de subida a " + kmText(at.distance), "Margem de tempo de subida", "ns",
            true, std::move(histograms.riseTimeMargin[i]), at.riseTimeMargin);
        charts.at.push_back(std::move(length));
    }
    charts.faulted = shareOf(summary.faulted, summary.trials);
    charts.firstFault = summary.firstFault;
    return charts;
}

void setWorstCase(TrialCharts& charts, const std::vector<LinkBudgets>& budgets) {
    for (std::size_t i = 0; i < charts.at.size() && i < budgets.size(); ++i) {
        if (!budgets[i].fault) {
            charts.at[i].worstPowerBudgetMet = budgets[i].powerBudgetMet();
            charts.at[i].worstRiseTimeBudgetMet = budgets[i].riseTimeBudgetMet();
        }
    }
}

std::string statisticsText(const TrialFigure& figure) {
    if (!figure.statistics) {
        return {};
    }
    return "média " + valueText(figure.statistics->mean, figure.unit) + ", desvio padrão " +
           valueText(figure.statistics->sd, figure.unit);
}

std::string maximumDistanceSubtitle(const TrialCharts& charts) {
    std::string text = statisticsText(charts.maximumDistance);
    if (!text.empty()) {
        text += "; limitada pela atenuação em " + percentText(charts.limitedByAttenuation) +
                ", pela dispersão em " + percentText(charts.limitedByDispersion);
    }
    return text;
}

std::string powerMarginSubtitle(const TrialLength& at) {
    std::string text = statisticsText(at.powerMargin);
    text += (text.empty() ? "" : "; ") + std::string("atendido em ") +
            percentText(at.powerBudgetMet) + " dos ensaios";
    if (at.riseTimeMargin.statistics && !at.riseTimeMargin.varies()) {
        text += "; tempo de subida: margem " +
                valueText(at.riseTimeMargin.statistics->mean, at.riseTimeMargin.unit) + " em todos";
    }
    return text;
}

std::string riseTimeMarginSubtitle(const TrialLength& at) {
    std::string text = statisticsText(at.riseTimeMargin);
    text += (text.empty() ? "" : "; ") + std::string("atendido em ") +
            percentText(at.riseTimeBudgetMet) + " dos ensaios";
    return text;
}

LinePlan histogramPlan(const TrialFigure& figure, std::uint64_t trials,
                       const std::string& subtitle) {
    LinePlan plan;
    plan.title = figure.title;
    plan.subtitle = subtitle;
    plan.xTitle = figure.axisTitle;
    plan.yTitle = "Ensaios (%)";
    if (!figure.histogram || trials == 0) {
        plan.x = roundAxis(0, 1, 8);
        plan.notice = "Nenhum ensaio deu este valor";
        return plan;
    }
    const trials::Histogram& h = *figure.histogram;
    plan.x = histogramAxis(figure);
    plan.zeroColumn = figure.margin;
    const double bins = static_cast<double>(h.counts.size());
    // A histogram of one value is one bar as wide as a bin of the whole axis.
    const double width = h.high > h.low ? (h.high - h.low) / bins
                                        : (plan.x.max - plan.x.min) / trials::histogramBins;
    const double first = h.high > h.low ? h.low : h.low - width / 2;
    double highest = 0;
    for (std::size_t i = 0; i < h.counts.size(); ++i) {
        const double value = 100 * shareOf(h.counts[i], trials);
        highest = std::max(highest, value);
        const double from = first + static_cast<double>(i) * width;
        const double to = i + 1 == h.counts.size() && h.high > h.low ? h.high : from + width;
        if (!figure.margin) {
            plan.bars.push_back({from, to, value, BarKind::Share});
        } else if (!(h.high > h.low)) {
            plan.bars.push_back(
                {from, to, value, h.low >= 0 ? BarKind::MarginMet : BarKind::MarginShort});
        } else if (to <= 0 || from >= 0) {
            // A margin of 0 meets the budget.
            plan.bars.push_back(
                {from, to, value, from >= 0 ? BarKind::MarginMet : BarKind::MarginShort});
        } else {
            plan.bars.push_back({from, 0, value, BarKind::MarginShort});
            plan.bars.push_back({0, to, value, BarKind::MarginMet});
        }
    }
    // Room above the highest bar for the points' labels, in rows at the top.
    plan.yLow = 0;
    plan.yHigh = highest > 0 ? 1.4 * highest : 1;
    if (figure.statistics) {
        const trials::Statistics& s = *figure.statistics;
        for (const auto& [name, value] :
             {std::pair{"1 %", s.p01}, std::pair{"50 %", s.p50}, std::pair{"99 %", s.p99}}) {
            plan.marks.push_back({value, std::string(name) + ": " + valueText(value, figure.unit),
                                  true, std::nullopt});
        }
    }
    return plan;
}

LineChart trialHistogram(const TrialFigure& figure, std::uint64_t trials,
                         const std::string& subtitle, const Box& area, const ChartLook& look,
                         const TextMeasure& measure) {
    return layoutLineChart(histogramPlan(figure, trials, subtitle), area, look, measure);
}

std::vector<std::string> trialHeading(const TrialCharts& charts) {
    std::vector<std::string> lines;
    lines.push_back(charts.program + ": " + std::to_string(charts.trials) +
                    (charts.trials == 1 ? " ensaio" : " ensaios") + ", semente " +
                    std::to_string(charts.seed));
    for (const std::string& spread : charts.spreads) {
        lines.push_back("Dispersão: " + spread);
    }
    if (charts.faulted > 0) {
        lines.push_back("Falharam " + percentText(charts.faulted) + " dos ensaios" +
                        (charts.firstFault ? ", o primeiro: " + *charts.firstFault : ""));
    }
    if (charts.at.size() > plottedLengths) {
        lines.push_back("Mostradas as primeiras " + std::to_string(plottedLengths) + " de " +
                        std::to_string(charts.at.size()) + " distâncias");
    }
    return lines;
}

namespace {

constexpr double pictureMargin = 16;
constexpr double captionHeight = 34;
constexpr double headingLine = 22;
constexpr double rowHeight = 400;

std::size_t plotted(const TrialCharts& charts) {
    return std::min(charts.at.size(), plottedLengths);
}

} // namespace

double trialPictureHeight(const TrialCharts& charts) {
    const auto lines = static_cast<double>(trialHeading(charts).size());
    const auto rows = static_cast<double>(1 + plotted(charts));
    return 2 * pictureMargin + captionHeight + lines * headingLine + pictureMargin +
           rows * rowHeight;
}

TrialPicture layoutTrialPicture(const TrialCharts& charts, const ChartLook& look,
                                const TextMeasure& measure) {
    TrialPicture picture;
    const double width = trialPictureWidth - 2 * pictureMargin;
    double top = pictureMargin;
    picture.titles.push_back({charts.caption,
                              {pictureMargin, top, width, captionHeight},
                              TextRole::Title,
                              Label::Align::Centre});
    top += captionHeight;
    for (const std::string& line : trialHeading(charts)) {
        picture.titles.push_back({line,
                                  {pictureMargin, top, width, headingLine},
                                  TextRole::Subtitle,
                                  Label::Align::Centre,
                                  Ink::Muted});
        top += headingLine;
    }
    top += pictureMargin;

    // Each row's charts share its width.
    auto row = [&](std::vector<std::pair<const TrialFigure*, std::string>> figures) {
        const double each = width / static_cast<double>(figures.size());
        for (std::size_t i = 0; i < figures.size(); ++i) {
            const Box area{pictureMargin + static_cast<double>(i) * each, top,
                           each - (i + 1 < figures.size() ? 2 * look.gap : 0),
                           rowHeight - 2 * look.gap};
            picture.charts.push_back(trialHistogram(*figures[i].first, charts.trials,
                                                    figures[i].second, area, look, measure));
        }
        top += rowHeight;
    };
    row({{&charts.maximumDistance, maximumDistanceSubtitle(charts)}});
    for (std::size_t i = 0; i < plotted(charts); ++i) {
        const TrialLength& at = charts.at[i];
        if (at.riseTimeMargin.varies()) {
            row({{&at.powerMargin, powerMarginSubtitle(at)},
                 {&at.riseTimeMargin, riseTimeMarginSubtitle(at)}});
        } else {
            row({{&at.powerMargin, powerMarginSubtitle(at)}});
        }
    }
    return picture;
}

} // namespace vantero::report
