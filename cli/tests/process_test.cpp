// The built vantero program, run as a separate process: exit statuses and
// what goes to standard output and standard error.

#include "cli/tests/temporaryfolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <fcntl.h>
#include <csignal>
#include <filesystem>
#include <sys/resource.h>
#include <unistd.h>
#include <string>
#include <sys/wait.h>
#include <utility>
#include <vector>

extern char** environ;

namespace {

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs vantero with `args`; its standard output goes to `outPath` when one is
// given, and is closed when that is `closed`. `environment` replaces the
// environment when not empty; `limits` are set on the child before it starts
// (RLIMIT_AS to a number of bytes, say).
constexpr const char* closed = "(closed)";

Outcome run(const std::vector<std::string>& args, const std::string& outPath = {},
            const std::vector<std::string>& environment = {},
            const std::vector<std::pair<int, rlim_t>>& limits = {}) {
    vantero::cli::TemporaryFolder folder;
    const std::string out = outPath.empty() ? folder.file("out") : outPath;
    const std::string err = folder.file("err");

    std::vector<char*> argv{const_cast<char*>(VANTERO_PROGRAM)};
    for (const std::string& arg : args) {
        argv.push_back(const_cast<char*>(arg.c_str()));
    }
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (const std::string& entry : environment) {
        envp.push_back(const_cast<char*>(entry.c_str()));
    }
    envp.push_back(nullptr);

    Outcome outcome;
    const pid_t pid = fork();
    if (pid == 0) {
        const int errFd = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (outPath == closed) {
            close(1);
        } else {
            dup2(open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 1);
        }
        dup2(errFd, 2);
        for (const auto& [resource, value] : limits) {
            const rlimit limit{value, value};
            setrlimit(resource, &limit);
        }
        // A file grown beyond its limit fails to write rather than ending
        // the program.
        signal(SIGXFSZ, SIG_IGN);
        execve(VANTERO_PROGRAM, argv.data(), environment.empty() ? environ : envp.data());
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    if (outPath.empty()) {
        outcome.out = vantero::cli::fileContents(out);
    }
    outcome.err = vantero::cli::fileContents(err);
    return outcome;
}

struct Expected {
    const char* name;
    std::vector<std::string> args;
    int status;
    const char* outHas; // "" for an empty output
    const char* errStarts;
};

void PrintTo(const Expected& c, std::ostream* os) {
    *os << c.name;
}

class Program : public testing::TestWithParam<Expected> {};

TEST_P(Program, exitsWithItsStatusAndStreams) {
    const Expected& c = GetParam();
    const Outcome o = run(c.args);
    EXPECT_EQ(o.status, c.status) << o.err;
    if (std::string(c.outHas).empty()) {
        EXPECT_EQ(o.out, "");
    } else {
        EXPECT_NE(o.out.find(c.outHas), std::string::npos) << o.out;
    }
    EXPECT_TRUE(o.err.starts_with(c.errStarts)) << o.err;
    if (std::string(c.errStarts).empty()) {
        EXPECT_EQ(o.err, "");
    }
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, Program,
    testing::Values(
        Expected{"defaults", {"tavo"}, 0, "\nmaximumDistance\t49.52537\n", ""},
        Expected{"rise time budget failed",
                 {"anel", "--set", "bitRate=1000"},
                 0,
                 "\nmessage\tO tempo de subida do sistema",
                 ""},
        Expected{"arithmetic fault",
                 {"estrela", "--set", "fibreAttenuation=0"},
                 1,
                 "",
                 "vantero: Floating point division by zero.\n"},
        Expected{"not a number",
                 {"tavo", "--set", "bitRate=3,4"},
                 2,
                 "",
                 "vantero: bitRate: \"3,4\" não é um número válido.\n"},
        Expected{"usage",
                 {"tavo", "--set", "lineCode=AMI"},
                 2,
                 "",
                 "vantero: lineCode is one of NRZ, RZ"},
        Expected{"missing file",
                 {"anel", "--open", "/nonexistent/x.anel"},
                 3,
                 "",
                 "vantero: /nonexistent/x.anel: File not found.\n"},
        Expected{"help", {"--help"}, 0, "Usage:\n", ""},
        Expected{"sweep",
                 {"anel", "--sweep", "bitRate=10:20:3"},
                 0,
                 "bitRate,powerDistance,riseTimeDistance,maximumDistance,limitedBy,message\n10,",
                 ""}),
    [](const auto& info) {
        std::string name = info.param.name;
        for (char& c : name) {
            c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
        }
        return name;
    });

TEST(Program, aStandardOutputThatTakesNothingIsAFileFailure) {
    for (const std::vector<std::string>& args : {std::vector<std::string>{"tavo"},
                                                 {"--help"},
                                                 {"anel", "--help"},
                                                 {"--version"},
                                                 {"estrela", "--sweep", "blockCode"}}) {
        Outcome o = run(args, "/dev/full");
        EXPECT_EQ(o.status, 3) << args[0];
        EXPECT_EQ(o.err, "vantero: standard output: Disk full.\n");
        o = run(args, closed);
        EXPECT_EQ(o.status, 3) << args[0];
        EXPECT_EQ(o.err, "vantero: standard output: I/O error 9.\n"); // EBADF
    }
}

TEST(Program, drawsAChartWithoutADisplay) {
    vantero::cli::TemporaryFolder folder;
    const std::string chart = folder.file("chart.png");
    // State: no display, and a platform that would need one.
    const Outcome o = run(
        {"tavo", "--sweep", "bitRate=1:1000:50", "--log", "--csv", "/dev/null", "--plot", chart},
        {}, {"QT_QPA_PLATFORM=xcb", "HOME=" + folder.file("")});
    if (!VANTERO_DRAWS_CHARTS) {
        EXPECT_EQ(o.status, 2);
        EXPECT_NE(o.err.find("draws no charts"), std::string::npos) << o.err;
        return;
    }
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.err, "");
    EXPECT_TRUE(vantero::cli::fileContents(chart).starts_with("\x89PNG\r\n\x1a\n"));
}

// The outputs of a sweep under a limit: what the old file held stays whole
// when the new one cannot be written, and nothing else is left beside it.
struct LimitedOutput {
    const char* name;
    const char* option; // --csv or --plot
    std::size_t points;
    rlim_t fileSizeLimit;
};

void PrintTo(const LimitedOutput& c, std::ostream* os) {
    *os << c.name;
}

class FullFileSystem : public testing::TestWithParam<LimitedOutput> {};

TEST_P(FullFileSystem, leavesTheOldOutputWhole) {
    const LimitedOutput& c = GetParam();
    const bool plot = std::string(c.option) == "--plot";
    if (!VANTERO_DRAWS_CHARTS && plot) {
        GTEST_SKIP() << "no charts in this build";
    }
    vantero::cli::TemporaryFolder folder;
    const std::string output = folder.file(plot ? "out.png" : "out.csv");
    std::ofstream(output) << "the old output\n";
    std::vector<std::string> args{"tavo", "--sweep",
                                  "bitRate=1:1000:" + std::to_string(c.points), c.option, output};
    if (plot) {
        args.insert(args.end(), {"--csv", "/dev/null"});
    }
    const Outcome o = run(args, {}, {}, {{RLIMIT_FSIZE, c.fileSizeLimit}});
    EXPECT_EQ(o.status, 3) << o.err;
    EXPECT_NE(o.err.find("Disk full."), std::string::npos) << o.err;
    EXPECT_EQ(vantero::cli::fileContents(output), "the old output\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.file("")),
                            std::filesystem::directory_iterator()),
              1);
}

INSTANTIATE_TEST_SUITE_P(Outputs, FullFileSystem,
                         testing::Values(LimitedOutput{"csv", "--csv", 20000, 64 * 1024},
                                         // run on several threads
                                         LimitedOutput{"largeCsv", "--csv", 300000, 64 * 1024},
                                         LimitedOutput{"plot", "--plot", 100, 4 * 1024}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Program, aPlotOverATinyRangeEnds) {
    vantero::cli::TemporaryFolder folder;
    const std::string chart = folder.file("tiny.png");
    const Outcome o =
        run({"tavo", "--sweep", "bitRate=1:1.0000000000000002:50", "--csv", "/dev/null", "--plot",
             chart},
            {}, {}, {{RLIMIT_CPU, 30}});
    EXPECT_EQ(o.status, VANTERO_DRAWS_CHARTS ? 0 : 2) << o.err;
}

#if !defined(__SANITIZE_ADDRESS__)
TEST(Program, aPlotOfMillionsOfPointsKeepsWithinAFewMegabytes) {
    // State: three million points, which kept whole took about 1.5 GB; a
    // limit on the address space the program and Qt need anyway.
    if (!VANTERO_DRAWS_CHARTS) {
        GTEST_SKIP() << "no charts in this build";
    }
    vantero::cli::TemporaryFolder folder;
    const std::string chart = folder.file("big.png");
    const Outcome o = run({"tavo", "--sweep", "bitRate=1:1000:3000000", "--log", "--csv",
                           "/dev/null", "--plot", chart},
                          {}, {}, {{RLIMIT_AS, rlim_t{600} << 20}});
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_TRUE(vantero::cli::fileContents(chart).starts_with("\x89PNG\r\n\x1a\n"));
}
#endif

} // namespace
