#include "common/trials/summaryoutput.h"

#include "common/numbers/formatting.h"
#include "common/runs/json.h"

#include <string_view>
#include <utility>

namespace vantero::trials {
namespace {

double share(std::uint64_t count, std::uint64_t trials) {
    return trials == 0 ? 0 : static_cast<double>(count) / static_cast<double>(trials);
}

struct Named {
    const char* name;
    double Statistics::*value;
};
constexpr Named statisticNames[] = {
    {"mean", &Statistics::mean}, {"sd", &Statistics::sd},
    {"p01", &Statistics::p01},   {"p05", &Statistics::p05},
    {"p50", &Statistics::p50},   {"p95", &Statistics::p95},
    {"p99", &Statistics::p99},
};

class Lines {
public:
    void line(std::string_view name, std::string_view text) {
        m_text += name;
        m_text += '\t';
        m_text += text;
        m_text += '\n';
    }
    void number(std::string_view name, double value) { line(name, formatResult(value)); }
    void figure(std::string_view name, FigureSample& sample) {
        if (const auto s = sample.statistics()) {
            for (const Named& n : statisticNames) {
                number(std::string(name) + "." + n.name, (*s).*n.value);
            }
        }
    }
    std::string take() { return std::move(m_text); }

private:
    std::string m_text;
};

void appendStatistics(std::string& json, FigureSample& sample) {
    const auto s = sample.statistics();
    if (!s) {
        json += "null";
        return;
    }
    json += '{';
    for (const Named& n : statisticNames) {
        json += n.name == statisticNames[0].name ? "\"" : ", \"";
        json += n.name;
        json += "\": ";
        appendJsonNumber(json, (*s).*n.value);
    }
    json += '}';
}

} // namespace

std::string trialText(const Calculator& calculator, const TrialPlan& plan,
                      TrialSummary& summary) {
    Lines out;
    out.line("trials", std::to_string(summary.trials));
    out.line("seed", std::to_string(summary.seed));
    for (const Spread& spread : plan.spreads) {
        std::string text = spreadText(spread);
        if (spread.itemLoss) {
            text += ", each of " + std::string(calculator.itemLosses()[*spread.itemLoss].items);
        }
        out.line("spread", text);
    }
    out.figure("powerDistance", summary.powerDistance);
    out.figure("riseTimeDistance", summary.riseTimeDistance);
    out.figure("maximumDistance", summary.maximumDistance);
    out.number("limitedBy.attenuation", share(summary.limitedByAttenuation, summary.trials));
    out.number("limitedBy.dispersion", share(summary.limitedByDispersion, summary.trials));
    for (LengthSummary& at : summary.at) {
        out.number("at", at.distance);
        out.number("powerBudgetMet", share(at.powerBudgetMet, summary.trials));
        out.number("riseTimeBudgetMet", share(at.riseTimeBudgetMet, summary.trials));
        out.number("bothMet", share(at.bothMet, summary.trials));
        out.figure("powerMargin", at.powerMargin);
        out.figure("riseTimeMargin", at.riseTimeMargin);
    }
    out.number("faulted", share(summary.faulted, summary.trials));
    if (summary.firstFault) {
        out.line("firstFault", *summary.firstFault);
    }
    return out.take();
}

std::string trialJson(const Calculator& calculator, const TrialPlan& plan,
                      TrialSummary& summary) {
    std::string json = "{\n  \"calculator\": ";
    appendJsonString(json, calculator.name());
    json += ",\n  \"trials\": " + std::to_string(summary.trials);
    json += ",\n  \"seed\": " + std::to_string(summary.seed);
    json += ",\n  \"spreads\": [";
    for (std::size_t i = 0; i < plan.spreads.size(); ++i) {
        const Spread& spread = plan.spreads[i];
        json += i == 0 ? "\n    {\"name\": " : ",\n    {\"name\": ";
        appendJsonString(json, spread.name);
        json += ", \"distribution\": ";
        appendJsonString(json, distributionName(spread.distribution));
        json += ", \"parameters\": [";
        for (std::size_t p = 0; p < spread.parameterCount(); ++p) {
            json += p == 0 ? "" : ", ";
            appendJsonNumber(json, spread.parameters[p]);
        }
        json += "], \"perItem\": ";
        json += spread.itemLoss ? "true}" : "false}";
    }
    json += "\n  ],\n  \"distances\": {\n    \"powerDistance\": ";
    appendStatistics(json, summary.powerDistance);
    json += ",\n    \"riseTimeDistance\": ";
    appendStatistics(json, summary.riseTimeDistance);
    json += ",\n    \"maximumDistance\": ";
    appendStatistics(json, summary.maximumDistance);
    json += "\n  },\n  \"limitedBy\": {\"attenuation\": ";
    appendJsonNumber(json, share(summary.limitedByAttenuation, summary.trials));
    json += ", \"dispersion\": ";
    appendJsonNumber(json, share(summary.limitedByDispersion, summary.trials));
    json += "},\n  \"at\": [";
    for (std::size_t i = 0; i < summary.at.size(); ++i) {
        LengthSummary& at = summary.at[i];
        json += i == 0 ? "\n    {\"distance\": " : ",\n    {\"distance\": ";
        appendJsonNumber(json, at.distance);
        for (const auto& [name, count] : {std::pair{"powerBudgetMet", at.powerBudgetMet},
                                          std::pair{"riseTimeBudgetMet", at.riseTimeBudgetMet},
                                          std::pair{"bothMet", at.bothMet}}) {
            json += ", \"";
            json += name;
            json += "\": ";
            appendJsonNumber(json, share(count, summary.trials));
        }
        json += ",\n     \"powerMargin\": ";
        appendStatistics(json, at.powerMargin);
        json += ",\n     \"riseTimeMargin\": ";
        appendStatistics(json, at.riseTimeMargin);
        json += '}';
    }
    json += summary.at.empty() ? "]" : "\n  ]";
    json += ",\n  \"faulted\": ";
    appendJsonNumber(json, share(summary.faulted, summary.trials));
    json += ",\n  \"firstFault\": ";
    if (summary.firstFault) {
        appendJsonString(json, *summary.firstFault);
    } else {
        json += "null";
    }
    json += "\n}\n";
    return json;
}

} // namespace vantero::trials
