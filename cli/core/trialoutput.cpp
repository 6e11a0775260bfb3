#include "cli/core/trialoutput.h"

#include "cli/core/arguments.h"
#include "common/runs/json.h"
#include "common/numbers/formatting.h"
#include "common/runs/orderedblocks.h"

#include <charconv>

namespace vantero::cli {
namespace {

// A whole number from `low` to `high` given to `option`.
std::uint64_t wholeNumber(const std::string& text, std::string_view option, std::uint64_t low,
                          std::uint64_t high) {
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size() || value < low ||
        value > high) {
        throw UsageError(std::string(option) + " takes a whole number from " + std::to_string(low) +
                         " to " + std::to_string(high) + ", not \"" + text + "\"");
    }
    return value;
}

double share(std::uint64_t count, std::uint64_t trials) {
    return trials == 0 ? 0 : static_cast<double>(count) / static_cast<double>(trials);
}

struct Named {
    const char* name;
    double trials::Statistics::*value;
};
constexpr Named statisticNames[] = {
    {"mean", &trials::Statistics::mean}, {"sd", &trials::Statistics::sd},
    {"p01", &trials::Statistics::p01},   {"p05", &trials::Statistics::p05},
    {"p50", &trials::Statistics::p50},   {"p95", &trials::Statistics::p95},
    {"p99", &trials::Statistics::p99},
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
    void figure(std::string_view name, trials::FigureSample& sample) {
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

void appendStatistics(std::string& json, trials::FigureSample& sample) {
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

unsigned threadCount(const Arguments& a) {
    return a.threads ? static_cast<unsigned>(wholeNumber(*a.threads, "--threads", 1, 1024))
                     : availableCores();
}

trials::TrialPlan trialPlan(const Calculator& calculator, const Arguments& a,
                            const std::vector<double>& lengths) {
    trials::TrialPlan plan;
    try {
        for (const std::string& spread : a.spreads) {
            plan.spreads.push_back(trials::parseSpread(calculator, spread));
        }
        trials::checkPlan(plan);
    } catch (const trials::SpreadError& error) {
        throw UsageError(std::string("--spread ") + error.what());
    }
    plan.lengths = lengths;
    if (a.trials) {
        plan.trials = wholeNumber(*a.trials, "--trials", 1, 1000000000000);
    }
    if (a.seed) {
        plan.seed = wholeNumber(*a.seed, "--seed", 0, std::numeric_limits<std::uint64_t>::max());
    }
    plan.threads = threadCount(a);
    return plan;
}

std::string trialText(const Calculator& calculator, const trials::TrialPlan& plan,
                      trials::TrialSummary& summary) {
    Lines out;
    out.line("trials", std::to_string(summary.trials));
    out.line("seed", std::to_string(summary.seed));
    for (const trials::Spread& spread : plan.spreads) {
        std::string text = trials::spreadText(spread);
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
    for (trials::LengthSummary& at : summary.at) {
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

std::string trialJson(const Calculator& calculator, const trials::TrialPlan& plan,
                      trials::TrialSummary& summary) {
    std::string json = "{\n  \"calculator\": ";
    appendJsonString(json, calculator.name());
    json += ",\n  \"trials\": " + std::to_string(summary.trials);
    json += ",\n  \"seed\": " + std::to_string(summary.seed);
    json += ",\n  \"spreads\": [";
    for (std::size_t i = 0; i < plan.spreads.size(); ++i) {
        const trials::Spread& spread = plan.spreads[i];
        json += i == 0 ? "\n    {\"name\": " : ",\n    {\"name\": ";
        appendJsonString(json, spread.name);
        json += ", \"distribution\": ";
        appendJsonString(json, trials::distributionName(spread.distribution));
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
        trials::LengthSummary& at = summary.at[i];
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

} // namespace vantero::cli
