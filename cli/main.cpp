#include "cli/core/program.h"

#ifdef VANTERO_WITH_PLOT
#include "report/paint/designreportpdf.h"
#include "report/paint/headroom.h"
#include "report/paint/linksreportpdf.h"
#include "report/paint/sweepplot.h"
#include "report/paint/trialplot.h"

#include <QGuiApplication>
#endif

#include <cerrno>
#include <csignal>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#ifdef __GLIBC__
#include <malloc.h>
#endif
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
// Starting Qt loads its platform plugin and the libraries it needs; short of
// memory for that, Qt ends the program ("no Qt platform plugin could be
// initialized"), so the memory is made sure of first (measured, with room to
// spare).
constexpr std::size_t qtStartMemory = std::size_t{8} << 20;

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
#ifdef __GLIBC__
    // Large blocks come from the system and go back to it when freed. Left
    // to itself, the C library raises the size it counts as large each time
    // such a block is freed, and the next ones then stay in its heap: the PDF
    // writer's buffers of 16 MiB, one pair a page, held the memory of a
    // report half as large again, by chance.
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
#endif
    // A write past the file-size limit (ulimit -f) fails with EFBIG, which
    // the program reports ("Disk full", exit status 3), instead of ending it
    // without a word.
    std::signal(SIGXFSZ, SIG_IGN);
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    vantero::cli::ChartRenderer drawChart;
    vantero::cli::ReportRenderer drawReport;
    vantero::cli::LinksReportRenderer drawLinksReport;
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
            vantero::report::ensureMemory(qtStartMemory);
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
    drawLinksReport = [&](const vantero::report::LinksReport& report) {
        startQt();
        return vantero::report::drawLinksReport(report);
    };
    drawTrials = [&](const vantero::report::TrialCharts& charts,
                     vantero::report::ImageFormat format) {
        startQt();
        return vantero::report::drawTrialCharts(charts, format);
    };
#endif
    const int status = vantero::cli::runCommandLine(args, stdout, stderr, drawChart, drawReport,
                                                    drawLinksReport, drawTrials);
#ifdef VANTERO_WITH_PLOT
    if (vantero::report::fillThreadLost()) {
        // Qt's application would wait for ever, on its way down, for the
        // thread the system did not make: the program ends without it.
        std::fflush(nullptr);
        std::_Exit(status);
    }
#endif
    return status;
}
