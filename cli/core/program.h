#pragma once

#include "calculators/registry.h"
#include "cli/core/options.h"
#include "common/numbers/failure.h"
#include "report/designreport.h"
#include "report/imageformat.h"
#include "report/linksreport.h"
#include "report/sweepchart.h"
#include "report/trialcharts.h"

#include <cstdio>
#include <functional>
#include <span>
#include <string>
#include <string_view>

namespace vantero::cli {

// Draws the chart of a sweep and gives the bytes of its file in the format
// asked.
using ChartRenderer = std::function<std::string(const report::SweepChart&, report::ImageFormat)>;

// Draws the histograms of a run of trials and gives the bytes of their file
// in the format asked.
using TrialPlotRenderer =
    std::function<std::string(const report::TrialCharts&, report::ImageFormat)>;

// Lays out and paints a design report and gives the bytes of its PDF file.
using ReportRenderer = std::function<std::string(const report::DesignReport&)>;
// The same for the summary report of a table of links.
using LinksReportRenderer = std::function<std::string(const report::LinksReport&)>;

// Runs the command line `args` (without the program's name), writing results
// to `out` and failures and usage errors to `err` (each message after
// "vantero: "), and gives the exit status: 0 when the calculation ran, 1 on
// an arithmetic fault, 2 on a usage error or a text that is not a number, 3
// on a file failure (standard output included), 4 when the memory runs out.
// A table of links (--links) gives 0 when every link is ok and meets both
// budgets at its length, else 1.
// `drawChart`, `drawReport`, `drawLinksReport` and `drawTrials` are empty in
// a build that draws no charts; --plot and --report are then usage errors.
int runCommandLine(std::span<const std::string_view> args, std::FILE* out, std::FILE* err,
                   const ChartRenderer& drawChart, const ReportRenderer& drawReport = {},
                   const LinksReportRenderer& drawLinksReport = {},
                   const TrialPlotRenderer& drawTrials = {});

// The text of --help: the usage and every calculator's inputs and choices, or
// those of one calculator only.
std::string helpText(const Calculator* only = nullptr);
// The part of --help before the calculators' inputs: the usage, the purpose,
// the options, the exit status and the examples, for the options given.
std::string generalHelpText(std::span<const OptionSpec> options = commandLineOptions());
// Two of its parts, for the manual page: the paragraph after the usage, and
// what follows the options (the exit status, the examples).
std::string purposeText();
std::string closingHelpText();

// The exit status of a failure: 1 an arithmetic fault, 2 a text that is not
// a number, 3 a file failure.
int exitStatus(const Failure& failure);

// The text of --version: the program and its version, the copyright and the
// licence.
std::string versionText();

} // namespace vantero::cli
