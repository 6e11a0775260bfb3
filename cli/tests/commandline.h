#pragma once

// Runs the command line in the test's own process, with its two streams
// caught in memory.

#include "cli/core/program.h"
#include "cli/tests/temporaryfolder.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace vantero::cli {

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

// A stream writing into memory, handed back as a string when closed.
class MemoryStream {
public:
    MemoryStream() : m_file(open_memstream(&m_data, &m_size)) {}
    ~MemoryStream() {
        close();
        std::free(m_data);
    }
    MemoryStream(const MemoryStream&) = delete;
    MemoryStream& operator=(const MemoryStream&) = delete;

    std::FILE* file() const { return m_file; }
    std::string close() {
        if (m_file != nullptr) {
            std::fclose(m_file);
            m_file = nullptr;
        }
        return std::string(m_data, m_size);
    }

private:
    char* m_data = nullptr;
    std::size_t m_size = 0;
    std::FILE* m_file;
};

inline Outcome runVantero(const std::vector<std::string>& args, const ChartRenderer& drawChart = {},
                          const ReportRenderer& drawReport = {},
                          const LinksReportRenderer& drawLinksReport = {},
                          const TrialPlotRenderer& drawTrials = {}) {
    const std::vector<std::string_view> views(args.begin(), args.end());
    MemoryStream out;
    MemoryStream err;
    Outcome outcome;
    outcome.status = runCommandLine(views, out.file(), err.file(), drawChart, drawReport,
                                    drawLinksReport, drawTrials);
    outcome.out = out.close();
    outcome.err = err.close();
    return outcome;
}

} // namespace vantero::cli
