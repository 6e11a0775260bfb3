#include "report/reportcharts.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <limits>
#include <string>
#include <utility>
#include <vector>

namespace vantero::report {
namespace {

// The smallest and largest finite values of some lines, with `also`.
std::pair<double, double> valueRange(std::initializer_list<const LinePoints*> lines,
                                     std::initializer_list<double> also) {
    double lo = std::numeric_limits<double>::infinity();
    double hi = -lo;
    for (const LinePoints* points : lines) {
        for (const auto& [x, y] : *points) {
            if (y && std::isfinite(*y)) {
                lo = std::min(lo, *y);
                hi = std::max(hi, *y);
            }
        }
    }
    for (const double v : also) {
        lo = std::min(lo, v);
        hi = std::max(hi, v);
    }
    return {lo, hi};
}

// A distance in four significant digits (whole km from 1000 on).
std::string kilometres(double km) {
    return shortNumber(km) + " km";
}

} // namespace

std::optional<LineChart> bitRateChart(const DesignReport& report, const Box& area,
                                      const ChartLook& look, const TextMeasure& measure) {
    if (report.bitRateSweep.empty()) {
        return std::nullopt;
    }
    LinePlan plan;
    plan.x.logarithmic = true;
    plan.x.min = report.bitRate / 10;
    plan.x.max = report.bitRate * 10;
    LinePlan::Series maximum{
        LineStyle::Maximum, std::string(distanceCaption(LineStyle::Maximum)), {}};
    LinePlan::Series power{LineStyle::Power, std::string(distanceCaption(LineStyle::Power)), {}};
    LinePlan::Series riseTime{
        LineStyle::RiseTime, std::string(distanceCaption(LineStyle::RiseTime)), {}};
    for (const LinkDistances& p : report.bitRateSweep) {
        power.points.emplace_back(p.input, p.powerDistance);
        riseTime.points.emplace_back(p.input, p.riseTimeDistance);
        maximum.points.emplace_back(p.input, p.maximumDistance);
        plan.shaded.emplace_back(p.input, !p.riseTimeDistance);
    }
    // The distance that limits the link fills the chart; what runs above it
    // is cut off.
    auto [lo, hi] = valueRange({&maximum.points}, {0.0, report.maximumDistance});
    if (!(hi > 0)) {
        hi = valueRange({&power.points}, {0.0}).second;
    }
    plan.yLow = lo < 0 ? 1.1 * lo : 0;
    plan.yHigh = hi > 0 ? 1.3 * hi : 1;
    plan.roomBelow = true;
    plan.series = {std::move(maximum), std::move(power), std::move(riseTime)};
    const std::string unit = report.bitRateUnit.empty() ? "" : " " + report.bitRateUnit;
    plan.markers.push_back({report.bitRate, report.maximumDistance,
                            "Este projeto: " + shortNumber(report.bitRate) + unit + ", " +
                                kilometres(report.maximumDistance)});
    plan.xTitle = report.bitRateLabel + "  [escala logarítmica]";
    plan.yTitle = "Distância (km)";
    plan.legend = LinePlan::Legend::Below;
    return layoutLineChart(plan, area, look, measure);
}

std::array<LineChart, 2> marginCharts(const DesignReport& report, const Box& area,
                                      const ChartLook& look, const TextMeasure& measure) {
    Axis x;
    x.min = 0;
    x.max = report.margins.empty() ? 1 : report.margins.back().km;
    const std::string maximumLabel = "Distância máxima " + kilometres(report.maximumDistance);
    struct Panel {
        LineStyle style;
        std::string title;
        std::optional<double> MarginPoint::*margin;
        std::optional<double> distance;
        LineStyle crossing;
    };
    const Panel panels[] = {
        {LineStyle::PowerMargin, "Margem de potência (dB)", &MarginPoint::power,
         report.powerDistance, LineStyle::Power},
        {LineStyle::RiseTimeMargin, "Margem de tempo de subida (ns)", &MarginPoint::riseTime,
         report.riseTimeDistance, LineStyle::RiseTime},
    };
    const double lineHeight = measure.lineHeight(TextRole::Label);
    const double half = (area.height - lineHeight) / 2;
    std::array<LinePlan, 2> plans;
    for (std::size_t i = 0; i < 2; ++i) {
        const Panel& panel = panels[i];
        LinePlan plan;
        plan.x = x;
        LinePlan::Series series{panel.style, panel.title, {}};
        for (const MarginPoint& p : report.margins) {
            series.points.emplace_back(p.km, p.*panel.margin);
        }
        const auto [lo, hi] = valueRange({&series.points}, {0.0});
        const double pad = 0.08 * (hi - lo);
        plan.yLow = lo - (lo < 0 ? pad : 0);
        plan.yHigh = hi + pad;
        plan.zeroLine = true;
        plan.series.push_back(std::move(series));
        plan.yTitle = panel.title;
        if (i == 1) {
            plan.xTitle = "Comprimento da fibra (km)";
        }
        if (report.maximumDistance >= x.min && report.maximumDistance <= x.max) {
            plan.marks.push_back({report.maximumDistance, maximumLabel, false, std::nullopt});
        }
        if (panel.distance && *panel.distance >= x.min && *panel.distance <= x.max) {
            plan.markers.push_back({*panel.distance, 0,
                                    std::string(distanceCaption(panel.crossing)) + ": " +
                                        kilometres(*panel.distance)});
        }
        plans[i] = std::move(plan);
    }
    const double tickWidth = std::max(yTickWidth(plans[0], measure), yTickWidth(plans[1], measure));
    std::array<LineChart, 2> charts;
    for (std::size_t i = 0; i < 2; ++i) {
        const Box box{area.left, area.top + static_cast<double>(i) * (half + lineHeight),
                      area.width, half};
        charts[i] = layoutLineChart(plans[i], box, look, measure, tickWidth);
    }
    return charts;
}

} // namespace vantero::report
