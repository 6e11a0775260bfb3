#include "cli/core/program.h"

#ifdef VANTERO_WITH_PLOT
#include "cli/plot/sweepplot.h"
#endif

#include <cstdio>
#include <string_view>
#include <vector>

int main(int argc, char** argv) {
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    vantero::cli::ChartRenderer drawChart;
#ifdef VANTERO_WITH_PLOT
    drawChart = vantero::cli::drawSweepChart;
#endif
    return vantero::cli::runCommandLine(args, stdout, stderr, drawChart);
}
