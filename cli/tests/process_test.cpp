// The built vantero program, run as a separate process: exit statuses and
// what goes to standard output and standard error.

#include "cli/tests/temporaryfolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>
#include <vector>

extern char** environ;

namespace {

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

// How vantero is started: where its standard output goes (a file made for
// the run, `outPath`, closed for `closed`, or the open file `outFd`, which it
// then shares with the test), what is set in its environment or replaces it,
// the limits set before it starts (RLIMIT_AS to a number of bytes, say),
// whether it inherits SIGXFSZ ignored, and after how many seconds it counts
// as hung and is ended (never, for 0).
constexpr const char* closed = "(closed)";

struct Launch {
    std::string outPath = {};
    int outFd = -1;
    std::vector<std::string> environment = {}; // replaces the environment when not empty
    std::vector<std::pair<std::string, std::string>> set = {};
    std::vector<std::pair<int, rlim_t>> limits = {};
    bool fileSizeSignalIgnored = true;
    unsigned seconds = 0;
};

// The status of a run that was ended for taking too long.
constexpr int hung = -2;

Outcome run(const std::vector<std::string>& args, const Launch& launch) {
    vantero::cli::TemporaryFolder folder;
    const std::string out = launch.outPath.empty() ? folder.file("out") : launch.outPath;
    const std::string err = folder.file("err");

    std::vector<char*> argv{const_cast<char*>(VANTERO_PROGRAM)};
    for (const std::string& arg : args) {
        argv.push_back(const_cast<char*>(arg.c_str()));
    }
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (const std::string& entry : launch.environment) {
        envp.push_back(const_cast<char*>(entry.c_str()));
    }
    envp.push_back(nullptr);

    Outcome outcome;
    const pid_t pid = fork();
    if (pid == 0) {
        const int errFd = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (launch.outFd >= 0) {
            dup2(launch.outFd, 1);
        } else if (launch.outPath == closed) {
            close(1);
        } else {
            dup2(open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 1);
        }
        dup2(errFd, 2);
        for (const auto& [resource, value] : launch.limits) {
            const rlimit limit{value, value};
            setrlimit(resource, &limit);
        }
        for (const auto& [name, value] : launch.set) {
            setenv(name.c_str(), value.c_str(), 1);
        }
        // A file grown beyond its limit fails to write rather than ending
        // the program, where the test asks for it.
        signal(SIGXFSZ, launch.fileSizeSignalIgnored ? SIG_IGN : SIG_DFL);
        execve(VANTERO_PROGRAM, argv.data(), launch.environment.empty() ? environ : envp.data());
        _exit(127);
    }
    int status = 0;
    if (launch.seconds == 0) {
        waitpid(pid, &status, 0);
    } else {
        constexpr int pollsPerSecond = 20;
        for (unsigned polls = 0; waitpid(pid, &status, WNOHANG) == 0; ++polls) {
            if (polls == launch.seconds * pollsPerSecond) {
                kill(pid, SIGKILL);
                waitpid(pid, &status, 0);
                outcome.status = hung;
                break;
            }
            usleep(1000000 / pollsPerSecond);
        }
    }
    if (outcome.status != hung) {
        outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    if (launch.outPath.empty() && launch.outFd < 0) {
        outcome.out = vantero::cli::fileContents(out);
    }
    outcome.err = vantero::cli::fileContents(err);
    return outcome;
}

Outcome run(const std::vector<std::string>& args, const std::string& outPath = {},
            const std::vector<std::string>& environment = {},
            const std::vector<std::pair<int, rlim_t>>& limits = {}) {
    return run(args, Launch{.outPath = outPath, .environment = environment, .limits = limits});
}

// The arguments, each "@" standing for `file`.
std::vector<std::string> withFile(std::vector<std::string> args, const std::string& file) {
    for (std::string& arg : args) {
        arg = arg == "@" ? file : arg;
    }
    return args;
}

// What makes system calls fail in vantero as some systems do (failingcalls.c):
// `what` is "tmpfile" or "threads". Under AddressSanitizer its runtime need
// not come first.
std::vector<std::pair<std::string, std::string>> failing(const char* what) {
    std::vector<std::pair<std::string, std::string>> set{{"LD_PRELOAD", VANTERO_FAILING_CALLS},
                                                         {"VANTERO_FAIL", what}};
#if defined(__SANITIZE_ADDRESS__)
    const char* asan = std::getenv("ASAN_OPTIONS");
    set.emplace_back("ASAN_OPTIONS",
                     std::string(asan != nullptr ? asan : "") + ":verify_asan_link_order=0");
#endif
    return set;
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
        Expected{"a count beyond 64 bits",
                 {"tavo", "--sweep", "bitRate=1:10:18446744073709551615"},
                 2,
                 "",
                 "vantero: the sweep's COUNT is at most 9007199254740992 (2^53) points"},
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
        EXPECT_EQ(o.err, "vantero: standard output: File not open.\n"); // EBADF
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

// The trials' histograms in each format and their design report: written
// whole, the summary still on standard output; the histograms of SVG the
// same bytes on one thread and on two.
TEST(Program, drawsTheTrialsHistogramsAndTheirReportPage) {
    vantero::cli::TemporaryFolder folder;
    const std::vector<std::string> trials{"tavo",  "--spread", "connectorLoss=normal:0.3,0.1",
                                          "--at",  "30",       "--at",
                                          "55",    "--trials", "3000"};
    const struct {
        const char* file;
        const char* option;
        std::string_view starts;
        std::string_view ends;
    } outputs[] = {
        {"h.png", "--plot", "\x89PNG\r\n\x1a\n", "IEND\xae\x42\x60\x82"},
        {"h.svg", "--plot", "<?xml", "</svg>\n"},
        {"h.pdf", "--plot", "%PDF-", "%%EOF\n"},
        {"r.pdf", "--report", "%PDF-", "%%EOF\n"},
    };
    for (const auto& output : outputs) {
        SCOPED_TRACE(output.file);
        std::vector<std::string> args = trials;
        args.insert(args.end(), {output.option, folder.file(output.file)});
        const Outcome o = run(args);
        if (!VANTERO_DRAWS_CHARTS) {
            EXPECT_EQ(o.status, 2);
            continue;
        }
        EXPECT_EQ(o.status, 0) << o.err;
        EXPECT_EQ(o.err, "");
        EXPECT_TRUE(o.out.starts_with("trials\t3000\nseed\t1\n")) << o.out;
        const std::string bytes = vantero::cli::fileContents(folder.file(output.file));
        EXPECT_TRUE(bytes.starts_with(output.starts));
        EXPECT_TRUE(bytes.ends_with(output.ends));
        EXPECT_GT(bytes.size(), 5000U);
    }
    if (!VANTERO_DRAWS_CHARTS) {
        return;
    }
    std::string svg[2];
    for (const int threads : {1, 2}) {
        std::vector<std::string> args = trials;
        args.insert(args.end(), {"--plot", folder.file("t.svg"), "--threads",
                                 std::to_string(threads)});
        EXPECT_EQ(run(args).status, 0);
        svg[threads - 1] = vantero::cli::fileContents(folder.file("t.svg"));
    }
    EXPECT_EQ(svg[0], svg[1]);
    EXPECT_NE(svg[0].find("Margem de potência a 55 km"), std::string::npos);

    // "-": the PNG alone on standard output.
    std::vector<std::string> args = trials;
    args.insert(args.end(), {"--plot", "-"});
    const Outcome o = run(args);
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_TRUE(o.out.starts_with("\x89PNG\r\n\x1a\n"));
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
    std::vector<std::string> args{"tavo", "--sweep", "bitRate=1:1000:" + std::to_string(c.points),
                                  c.option, output};
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
    const Outcome o = run({"tavo", "--sweep", "bitRate=1:1.0000000000000002:50", "--csv",
                           "/dev/null", "--plot", chart},
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

// Every output under a file-size limit, SIGXFSZ left at its default action
// (which ends a program without a word): "Disk full", exit status 3, the old
// file whole and nothing beside it.
struct SizeLimited {
    const char* name;
    std::vector<std::string> args; // "@" stands for the output file
    const char* file;              // none: standard output
    rlim_t limit;
    bool draws;
};

void PrintTo(const SizeLimited& c, std::ostream* os) {
    *os << c.name;
}

class FileSizeLimit : public testing::TestWithParam<SizeLimited> {};

TEST_P(FileSizeLimit, isAFileFailureForEveryOutput) {
    const SizeLimited& c = GetParam();
    if (c.draws && !VANTERO_DRAWS_CHARTS) {
        GTEST_SKIP() << "no charts in this build";
    }
    vantero::cli::TemporaryFolder folder;
    const std::string output = folder.file(c.file);
    std::ofstream(output) << "the old output\n";
    const std::vector<std::string> args = withFile(c.args, output);
    const Outcome o =
        run(args, Launch{.limits = {{RLIMIT_FSIZE, c.limit}}, .fileSizeSignalIgnored = false});
    EXPECT_EQ(o.status, 3) << o.err;
    EXPECT_EQ(o.err,
              "vantero: " + (c.args.back() == "@" ? output : "standard output") + ": Disk full.\n");
    EXPECT_EQ(vantero::cli::fileContents(output), "the old output\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.file("")),
                            std::filesystem::directory_iterator()),
              1);
}

INSTANTIATE_TEST_SUITE_P(
    Outputs, FileSizeLimit,
    testing::Values(SizeLimited{"projectFile", {"tavo", "--save", "@"}, "link.dig", 100, false},
                    SizeLimited{"csv",
                                {"tavo", "--sweep", "bitRate=1:1000:20000", "--csv", "@"},
                                "out.csv",
                                64 * 1024,
                                false},
                    SizeLimited{"plot",
                                {"tavo", "--sweep", "bitRate=1:1000:100", "--csv", "/dev/null",
                                 "--plot", "@"},
                                "out.png",
                                4 * 1024,
                                true},
                    SizeLimited{"report", {"tavo", "--report", "@"}, "out.pdf", 4 * 1024, true},
                    SizeLimited{"trialHistograms",
                                {"tavo", "--spread", "connectorLoss=normal:0.3,0.1", "--at", "30",
                                 "--trials", "100", "--plot", "@"},
                                "out.png",
                                4 * 1024,
                                true},
                    SizeLimited{"trialReport",
                                {"tavo", "--spread", "connectorLoss=normal:0.3,0.1", "--trials",
                                 "100", "--report", "@"},
                                "out.pdf",
                                4 * 1024,
                                true},
                    SizeLimited{"standardOutput",
                                {"tavo", "--sweep", "bitRate=1:1000:20000"},
                                "untouched.csv",
                                64 * 1024,
                                false}),
    [](const auto& info) { return std::string(info.param.name); });

// A name of the file standard output is open on, given to --csv: the CSV
// goes where standard output stands in that file, and what others wrote
// there before and after stays.
struct OwnOutput {
    const char* name;
    const char* csv; // "@" stands for the file's own name
    bool append;     // opened to append (>>), else shared from where it stands
};

void PrintTo(const OwnOutput& c, std::ostream* os) {
    *os << c.name;
}

class StandardOutputByName : public testing::TestWithParam<OwnOutput> {};

TEST_P(StandardOutputByName, isWrittenAsAStream) {
    const OwnOutput& c = GetParam();
    const std::vector<std::string> sweep{"tavo", "--sweep", "bitRate=1:10:3"};
    const std::string csv = run(sweep).out;
    ASSERT_TRUE(csv.starts_with("bitRate,")) << csv;

    vantero::cli::TemporaryFolder folder;
    const std::string log = folder.file("log.txt");
    std::ofstream(log) << "old\n";
    const int fd =
        c.append ? open(log.c_str(), O_WRONLY | O_APPEND) : open(log.c_str(), O_WRONLY | O_TRUNC);
    ASSERT_GE(fd, 0);
    const std::string before = c.append ? "" : "header\n";
    const std::string after = c.append ? "" : "footer\n";
    ASSERT_EQ(write(fd, before.data(), before.size()), static_cast<ssize_t>(before.size()));
    std::vector<std::string> args = sweep;
    args.insert(args.end(), {"--csv", std::string(c.csv) == "@" ? log : c.csv});
    const Outcome o = run(args, Launch{.outFd = fd});
    ASSERT_EQ(write(fd, after.data(), after.size()), static_cast<ssize_t>(after.size()));
    close(fd);
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(vantero::cli::fileContents(log), (c.append ? "old\n" : before) + csv + after);
}

INSTANTIATE_TEST_SUITE_P(Names, StandardOutputByName,
                         testing::Values(OwnOutput{"devStdoutAppended", "/dev/stdout", true},
                                         OwnOutput{"devStdoutBetweenOthers", "/dev/stdout", false},
                                         OwnOutput{"procFdAppended", "/proc/self/fd/1", true},
                                         OwnOutput{"theFileItselfBetweenOthers", "@", false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Program, standardOutputTakesOneOutputWhateverItIsCalled) {
    const Outcome o =
        run({"tavo", "--sweep", "bitRate=1:10:3", "--csv", "/dev/stdout", "--plot", "-"});
    EXPECT_EQ(o.status, 2);
    EXPECT_EQ(o.out, "");
    EXPECT_NE(o.err.find(VANTERO_DRAWS_CHARTS ? "only one of them can go there" : "no charts"),
              std::string::npos)
        << o.err;
}

TEST(Program, aPipeWithoutItsOtherEndSaysSo) {
    // Written with no reader; read with a writer that has written nothing.
    vantero::cli::TemporaryFolder folder;
    const std::string pipe = folder.file("pipe.dig");
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    Outcome o = run({"tavo", "--sweep", "bitRate=1:2:3", "--csv", pipe});
    EXPECT_EQ(o.status, 3);
    EXPECT_EQ(o.err, "vantero: " + pipe + ": No process reads the pipe.\n");
    const int writer = open(pipe.c_str(), O_RDWR | O_NONBLOCK);
    ASSERT_GE(writer, 0);
    o = run({"tavo", "--open", pipe});
    close(writer);
    EXPECT_EQ(o.status, 3);
    EXPECT_EQ(o.err, "vantero: " + pipe + ": Nothing written to the pipe yet.\n");
}

TEST(Program, concurrentSavesWithNamedTemporaryFilesAllSucceed) {
    // State: a file system without unnamed temporary files. Action: many
    // saves of one file, and of other files in its folder, at once.
    // Expected: every one succeeds, and only the project files are left.
    vantero::cli::TemporaryFolder folder;
    constexpr int saves = 300;
    std::vector<pid_t> children;
    for (int i = 0; i < saves; ++i) {
        const pid_t child = fork();
        if (child == 0) {
            const std::string file =
                folder.file(i % 3 == 0 ? "own" + std::to_string(i) : std::string("shared"));
            const Outcome o =
                run({"tavo", "--set", "bitRate=" + std::to_string(i + 1), "--save", file},
                    Launch{.set = failing("tmpfile")});
            _exit(o.status == 0 && o.err.empty() ? 0 : 1);
        }
        children.push_back(child);
    }
    int failed = 0;
    for (const pid_t child : children) {
        int status = 0;
        waitpid(child, &status, 0);
        failed += WIFEXITED(status) && WEXITSTATUS(status) == 0 ? 0 : 1;
    }
    EXPECT_EQ(failed, 0) << "of " << saves;
    for (const auto& entry : std::filesystem::directory_iterator(folder.file(""))) {
        EXPECT_TRUE(entry.path().extension() == ".dig") << entry.path();
    }
}

TEST(Program, aSweepRunsOnTheCallingThreadWhenNoOtherCanBeMade) {
    // Enough points for several threads, and a system that gives none.
    vantero::cli::TemporaryFolder folder;
    const std::vector<std::string> sweep{"tavo", "--sweep", "bitRate=1:1000:300000", "--csv"};
    std::vector<std::string> args = sweep;
    args.push_back(folder.file("alone.csv"));
    const Outcome alone = run(args, Launch{.set = failing("threads")});
    EXPECT_EQ(alone.status, 0) << alone.err;
    EXPECT_EQ(alone.err, "");
    args = sweep;
    args.push_back(folder.file("threads.csv"));
    EXPECT_EQ(run(args).status, 0);
    const std::string rows = vantero::cli::fileContents(folder.file("threads.csv"));
    EXPECT_EQ(std::count(rows.begin(), rows.end(), '\n'), 300001);
    EXPECT_EQ(vantero::cli::fileContents(folder.file("alone.csv")), rows);
}

// A chart or a report short of memory or of threads: the run ends, with
// the whole file, or with "Out of memory." (exit status 4) and the old file
// as it was, nothing left beside it.
struct ShortOfResources {
    const char* name;
    std::vector<std::string> args; // "@" stands for the output file
    const char* file;
    rlim_t addressSpaceKb;    // 0: no limit
    const char* failingCalls; // "": none
    int status;               // -1: 0 or 4, as the memory falls
};

void PrintTo(const ShortOfResources& c, std::ostream* os) {
    *os << c.name;
}

// Whether `bytes` are a whole file of the kind its name says, as far as
// its ends tell.
bool wholeFile(const std::string& name, const std::string& bytes) {
    if (name.ends_with(".png")) {
        return bytes.starts_with("\x89PNG\r\n\x1a\n") &&
               bytes.ends_with(std::string("IEND\xae\x42\x60\x82", 8));
    }
    if (name.ends_with(".pdf")) {
        return bytes.starts_with("%PDF-") && bytes.ends_with("%%EOF\n");
    }
    return bytes.starts_with("<?xml") && bytes.ends_with("</svg>\n");
}

class ShortOfResourcesTest : public testing::TestWithParam<ShortOfResources> {};

TEST_P(ShortOfResourcesTest, endsWithTheFileOrOutOfMemoryAndTheOldFileWhole) {
    const ShortOfResources& c = GetParam();
    if (!VANTERO_DRAWS_CHARTS) {
        GTEST_SKIP() << "no charts in this build";
    }
#if defined(__SANITIZE_ADDRESS__)
    if (c.addressSpaceKb != 0) {
        GTEST_SKIP() << "the sanitizer's shadow memory needs more address space";
    }
#endif
    vantero::cli::TemporaryFolder folder;
    const std::string output = folder.file(c.file);
    std::ofstream(output) << "the old output\n";
    const std::vector<std::string> args = withFile(c.args, output);
    // The font library, short of memory, may take the fonts for unreadable
    // and write that into its cache: into a cache of the test's own, made
    // first in its list, not the system's (as root) or the user's.
    vantero::cli::TemporaryFolder fonts;
    std::ofstream(fonts.file("fonts.conf"))
        << "<fontconfig><cachedir>" << fonts.file("cache")
        << "</cachedir><include>/etc/fonts/fonts.conf</include></fontconfig>\n";
    Launch launch{.set = {{"FONTCONFIG_FILE", fonts.file("fonts.conf")}}, .seconds = 60};
    if (c.addressSpaceKb != 0) {
        launch.limits = {{RLIMIT_AS, c.addressSpaceKb * 1024}};
    }
    if (!std::string(c.failingCalls).empty()) {
        for (const auto& setting : failing(c.failingCalls)) {
            launch.set.push_back(setting);
        }
    }
    const Outcome o = run(args, launch);
    if (c.status >= 0) {
        EXPECT_EQ(o.status, c.status) << o.err;
    }
    const std::string written = vantero::cli::fileContents(output);
    if (o.status == 0) {
        EXPECT_TRUE(wholeFile(output, written)) << written.size() << " bytes";
    } else {
        EXPECT_EQ(o.status, 4) << o.err; // hung: -2; a crash: 128 and the signal
        EXPECT_EQ(o.err, "vantero: Out of memory.\n");
        EXPECT_EQ(written, "the old output\n");
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.file("")),
                            std::filesystem::directory_iterator()),
              1);
}

const std::vector<std::string> plot{"tavo",  "--sweep", "bitRate=1:1000:1000",
                                    "--log", "--plot",  "@"};
const std::vector<std::string> designReport{"tavo", "--report", "@"};

INSTANTIATE_TEST_SUITE_P(
    Limits, ShortOfResourcesTest,
    testing::Values(
        // No thread for Qt's raster engine to fill with, or just one.
        ShortOfResources{"pngWithoutThreads", plot, "chart.png", 0, "threads", 4},
        ShortOfResources{"pngWithOneThread", plot, "chart.png", 0, "threads=1", 0},
        // Limits on the address space (ulimit -v, in kB) where the pictures
        // were cut short, hung and crashed, and the PDFs aborted.
        ShortOfResources{"png80000", plot, "chart.png", 80000, "", -1},
        ShortOfResources{"png86000", plot, "chart.png", 86000, "", -1},
        ShortOfResources{"png92000", plot, "chart.png", 92000, "", -1},
        ShortOfResources{"png97000", plot, "chart.png", 97000, "", -1},
        ShortOfResources{"svg80000", plot, "chart.svg", 80000, "", -1},
        ShortOfResources{"pdf84000", plot, "chart.pdf", 84000, "", -1},
        ShortOfResources{"pdf104000", plot, "chart.pdf", 104000, "", -1},
        ShortOfResources{"report90000", designReport, "report.pdf", 90000, "", -1},
        ShortOfResources{"report110000", designReport, "report.pdf", 110000, "", -1}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
