#include "report/barchart.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace vantero::report {
namespace {

using Align = Label::Align;

struct BarPlan {
    std::string caption;
    double from;
    double to;
    BarKind kind;
    std::string value;
};

struct Reference {
    double value;
    std::string label;
};

BarChart layoutBars(const std::vector<BarPlan>& plans, const std::optional<Reference>& reference,
                    std::string axisTitle, bool stepped, const Box& area, const ChartLook& look,
                    const TextMeasure& measure) {
    const double gap = look.gap;
    const double lineHeight = measure.lineHeight(TextRole::Label);
    auto width = [&](std::string_view text) { return measure.width(TextRole::Label, text); };
    BarChart chart;
    double captionWidth = 0;
    for (const BarPlan& plan : plans) {
        captionWidth = std::max(captionWidth, width(plan.caption));
    }
    captionWidth = std::min(captionWidth + 2.5 * gap, 0.42 * area.width);
    // The reference's label above; the ticks' labels and the axis title below.
    const double top = area.top + lineHeight + 1.5 * gap;
    const double bottom = area.bottom() - measure.lineHeight(TextRole::XTitle) - 0.75 * gap -
                          measure.lineHeight(TextRole::Tick) - look.tickLength - gap / 2;
    chart.plot = {area.left + captionWidth, top, area.right() - gap - (area.left + captionWidth),
                  bottom - top};
    const Box& plot = chart.plot;

    double lo = std::numeric_limits<double>::infinity();
    double hi = -lo;
    for (const BarPlan& plan : plans) {
        lo = std::min({lo, plan.from, plan.to});
        hi = std::max({hi, plan.from, plan.to});
    }
    if (reference) {
        lo = std::min(lo, reference->value);
        hi = std::max(hi, reference->value);
    }
    // Room beside the bars for their values; a scale that starts at 0 stays
    // there.
    const bool fromZero = lo >= 0;
    const double span = hi - lo;
    lo -= 0.16 * span;
    hi += 0.16 * span;
    if (fromZero) {
        lo = std::max(lo, 0.0);
    }
    chart.axis = roundAxis(lo, hi, 6);
    chart.axis.first = plot.left;
    chart.axis.last = plot.right();
    chart.ticks = xTickMarks(linearTicks(chart.axis.min, chart.axis.max, 6), chart.axis, plot, area,
                             look, measure);
    chart.axisTitle = {std::move(axisTitle),
                       {plot.left, area.bottom() - measure.lineHeight(TextRole::XTitle), plot.width,
                        measure.lineHeight(TextRole::XTitle)},
                       TextRole::XTitle,
                       Align::Centre};

    // The reference line first: the values beside the bars keep clear of it.
    std::optional<double> referenceX;
    if (reference) {
        referenceX = chart.axis.pixel(reference->value);
    }
    const double rowHeight =
        plot.height / static_cast<double>(std::max<std::size_t>(plans.size(), 1));
    const double barHeight = std::min(0.62 * rowHeight, 1.6 * lineHeight);
    for (std::size_t i = 0; i < plans.size(); ++i) {
        const BarPlan& plan = plans[i];
        const double middle = plot.top + (static_cast<double>(i) + 0.5) * rowHeight;
        BarRow row{plan.kind, {}, {}, {}};
        const double x0 = chart.axis.pixel(std::min(plan.from, plan.to));
        const double x1 = chart.axis.pixel(std::max(plan.from, plan.to));
        row.bar = {x0, middle - barHeight / 2, std::max(x1 - x0, 1.0), barHeight};
        row.caption = {plan.caption,
                       {area.left, middle - rowHeight / 2, captionWidth - 2 * gap, rowHeight},
                       TextRole::Label,
                       Align::Right};
        row.caption.wraps = true;

        // The value beside the end the bar goes to, else beside its start,
        // else on it.
        const double w = width(plan.value);
        const Box right{row.bar.right() + gap, middle - lineHeight / 2, w, lineHeight};
        const Box left{row.bar.left - gap - w, middle - lineHeight / 2, w, lineHeight};
        const bool down = plan.to < plan.from;
        auto clearOfReference = [&](Box box, bool rightSide) {
            if (referenceX && box.left < *referenceX && box.right() > *referenceX) {
                box.left = rightSide ? *referenceX + gap : *referenceX - gap - w;
            }
            return box;
        };
        auto withinWidth = [&](const Box& box) {
            return box.left >= plot.left && box.right() <= plot.right();
        };
        const Box after = clearOfReference(down ? left : right, !down);
        const Box before = clearOfReference(down ? right : left, down);
        row.value = {plan.value, after, TextRole::Label, Align::Centre};
        if (!withinWidth(after)) {
            row.value.box = before;
        }
        if (!withinWidth(after) && !withinWidth(before)) {
            row.value.box = {row.bar.left + (row.bar.width - w) / 2, middle - lineHeight / 2, w,
                             lineHeight};
            row.value.ink = Ink::OnBar;
        }
        chart.rows.push_back(std::move(row));
    }
    if (stepped) {
        for (std::size_t i = 0; i + 1 < plans.size(); ++i) {
            const double x = chart.axis.pixel(plans[i].to);
            chart.steps.emplace_back(Pixel{x, chart.rows[i].bar.bottom()},
                                     Pixel{x, chart.rows[i + 1].bar.top});
        }
    }
    if (reference) {
        const double w = width(reference->label);
        chart.reference =
            ReferenceLine{*referenceX,
                          {reference->label,
                           clampedSideways({*referenceX - w / 2, area.top, w, lineHeight},
                                           plot.left, plot.right()),
                           TextRole::Label, Align::Centre}};
    }
    return chart;
}

const BudgetTerm* findTerm(const std::vector<BudgetTerm>& terms, TermKind kind) {
    for (const BudgetTerm& term : terms) {
        if (term.kind == kind) {
            return &term;
        }
    }
    return nullptr;
}

} // namespace

std::string chartValue(double value, int decimals, std::string_view unit, bool withSign) {
    char text[64];
    if (std::fabs(value) >= 1e9) {
        std::snprintf(text, sizeof text, withSign ? "%+.4g" : "%.4g", value);
    } else {
        const double scale = std::pow(10.0, decimals);
        double rounded = std::round(value * scale) / scale;
        if (rounded == 0) {
            rounded = 0; // never "-0.00" nor "+0.00"
            withSign = false;
        }
        std::snprintf(text, sizeof text, withSign ? "%+.*f" : "%.*f", decimals, rounded);
    }
    std::string result(text);
    if (!unit.empty()) {
        result += " ";
        result += unit;
    }
    return result;
}

BarChart powerWaterfall(const LinkBudgets& budgets, const Box& area, const ChartLook& look,
                        const TextMeasure& measure) {
    const BudgetTerm* launched = findTerm(budgets.powerTerms, TermKind::Available);
    const BudgetTerm* sensitivity = findTerm(budgets.powerTerms, TermKind::Required);
    const double s = sensitivity != nullptr ? sensitivity->value : 0;
    double level = launched != nullptr ? launched->value : 0;
    std::vector<BarPlan> plans;
    if (launched != nullptr) {
        plans.push_back({std::string(launched->caption), s, level, BarKind::Launched,
                         chartValue(level, 2, dBm)});
    }
    for (const BudgetTerm& term : budgets.powerTerms) {
        if (term.kind == TermKind::Loss) {
            const double next = level - term.value;
            plans.push_back({std::string(term.caption), level, next,
                             term.value >= 0 ? BarKind::Loss : BarKind::Gain,
                             chartValue(-term.value, 2, dB, true)});
            level = next;
        }
    }
    const double margin = budgets.powerMargin.value_or(level - s);
    plans.push_back({"Margem", s, s + margin,
                     margin >= 0 ? BarKind::MarginMet : BarKind::MarginShort,
                     chartValue(margin, 2, dB, true)});
    std::optional<Reference> reference;
    if (sensitivity != nullptr) {
        reference = Reference{s, std::string(sensitivity->caption) + " " + chartValue(s, 2, dBm)};
    }
    return layoutBars(plans, reference, "Nível de potência (dBm)", true, area, look, measure);
}

BarChart riseTimeBars(const LinkBudgets& budgets, const Box& area, const ChartLook& look,
                      const TextMeasure& measure) {
    const BudgetTerm* allowed = findTerm(budgets.riseTimeTerms, TermKind::Available);
    const BudgetTerm* link = findTerm(budgets.riseTimeTerms, TermKind::Total);
    const double system = allowed != nullptr ? allowed->value : 0;
    std::vector<BarPlan> plans;
    for (const BudgetTerm& term : budgets.riseTimeTerms) {
        const BarKind kind = term.kind == TermKind::Available ? BarKind::Allowed
                             : term.kind == TermKind::Total   ? BarKind::Total
                                                              : BarKind::RiseTime;
        plans.push_back(
            {std::string(term.caption), 0, term.value, kind, chartValue(term.value, 2, ns)});
    }
    const double total = link != nullptr ? link->value : 0;
    const double margin = budgets.riseTimeMargin.value_or(system - total);
    plans.push_back({"Margem", total, system,
                     budgets.riseTimeBudgetMet() ? BarKind::MarginMet : BarKind::MarginShort,
                     chartValue(margin, 2, ns, true)});
    std::optional<Reference> reference;
    if (allowed != nullptr) {
        reference = Reference{system, "Permitido " + chartValue(system, 2, ns)};
    }
    return layoutBars(plans, reference, "Tempo de subida (ns)", false, area, look, measure);
}

} // namespace vantero::report
