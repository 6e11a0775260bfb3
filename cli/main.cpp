#include "cli/core/program.h"

#ifdef VANTERO_WITH_PLOT
#include "report/paint/designreportpdf.h"
#include "report/paint/sweepplot.h"
#include "report/paint/trialplot.h"

#include <QGuiApplication>
#endif

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <optional>
#include <string_view>
#include <unistd.h>
#include <vector>

namespace {

// A standard stream the caller closed (`>&-`) is held by /dev/null opened the
// other way round: writing to it fails as on the closed stream (exit status
// 3), and no file the program opens later takes its number.
void holdClosedStandardStreams() {
    for (const int stream : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) {
        if (fcntl(stream, F_GETFD) == -1 && errno == EBADF) {
            const int held = open("/dev/null", stream == STDIN_FILENO ? O_WRONLY : O_RDONLY);
            if (held >= 0 && held != stream) {
                dup2(held, stream);
                close(held);
            }
        }
    }
}

#ifdef VANTERO_WITH_PLOT
// Qt's own notes (about the run-time folder, say) are not the command line's
// output; only its critical messages pass.
void keepQtQuiet(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg) {
        std::fprintf(stderr, "vantero: %s\n", message.toLocal8Bit().constData());
    }
}
#endif

} // namespace

int main(int argc, char** argv) {
    holdClosedStandardStreams();
    // A write past the file-size limit (ulimit -f) fails with EFBIG, which
    // the program reports ("Disk full", exit status 3), instead of ending it
    // without a word.
    std::signal(SIGXFSZ, SIG_IGN);
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    vantero::cli::ChartRenderer drawChart;
    vantero::cli::ReportRenderer drawReport;
    vantero::cli::TrialPlotRenderer drawTrials;
#ifdef VANTERO_WITH_PLOT
    // Charts and reports are drawn with Qt Gui on the offscreen platform, so
    // no display is needed; its application is made only when something is
    // drawn, and it sees none of the command line's arguments.
    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    std::optional<QGuiApplication> application;
    const auto startQt = [&] {
        if (!application) {
            qInstallMessageHandler(keepQtQuiet);
            qputenv("QT_QPA_PLATFORM", "offscreen");
            application.emplace(qtArgc, qtArgv);
        }
    };
    drawChart = [&](const vantero::report::SweepChart& chart, vantero::report::ImageFormat format) {
        startQt();
        return vantero::report::drawSweepChart(chart, format);
    };
    drawReport = [&](const vantero::report::DesignReport& report) {
        startQt();
        return vantero::report::drawDesignReport(report);
    };
    drawTrials = [&](const vantero::report::TrialCharts& charts,
                     vantero::report::ImageFormat format) {
        startQt();
        return vantero::report::drawTrialCharts(charts, format);
    };
#endif
    return vantero::cli::runCommandLine(args, stdout, stderr, drawChart, drawReport, drawTrials);
}
