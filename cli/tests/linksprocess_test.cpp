// The built vantero reading a table of links from standard input: a pipe it
// reads as the rows come, in memory that does not grow with the table.

#include "cli/tests/temporaryfolder.h"
#include "common/testing/pdftesting.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <functional>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

struct Piped {
    int status = -1;
    std::string out;
    std::string err;
    long peakKilobytes = 0;
};

// Runs `vantero tavo --links -` and the options `more` with what `feed`
// writes into its standard input; its output goes to a file, or to /dev/null
// when `keepOutput` is false.
Piped runFed(const std::function<void(int fd)>& feed, bool keepOutput = true,
             const std::vector<std::string>& more = {}) {
    const vantero::cli::TemporaryFolder folder;
    const std::string out = keepOutput ? folder.file("out") : "/dev/null";
    const std::string err = folder.file("err");
    int in[2];
    if (pipe(in) != 0) {
        ADD_FAILURE() << "no pipe";
        return {};
    }
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(in[0], 0);
        close(in[0]);
        close(in[1]);
        dup2(open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 1);
        dup2(open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 2);
        std::vector<const char*> argv{VANTERO_PROGRAM, "tavo", "--links", "-"};
        for (const std::string& option : more) {
            argv.push_back(option.c_str());
        }
        argv.push_back(nullptr);
        execv(VANTERO_PROGRAM, const_cast<char* const*>(argv.data()));
        _exit(127);
    }
    close(in[0]);
    // A program that stops reading early is not the writer's end.
    const auto previous = std::signal(SIGPIPE, SIG_IGN);
    feed(in[1]);
    close(in[1]);
    std::signal(SIGPIPE, previous);
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    Piped piped;
    piped.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    piped.peakKilobytes = usage.ru_maxrss;
    if (keepOutput) {
        piped.out = vantero::cli::fileContents(out);
    }
    piped.err = vantero::cli::fileContents(err);
    return piped;
}

void writeAll(int fd, const std::string& text) {
    for (std::size_t at = 0; at < text.size();) {
        const ssize_t wrote = write(fd, text.data() + at, text.size() - at);
        if (wrote <= 0) {
            return;
        }
        at += static_cast<std::size_t>(wrote);
    }
}

TEST(LinksProgram, readsATableFromStandardInput) {
    const Piped piped = runFed([](int fd) { writeAll(fd, "id,length\r\na,10\r\nb,80\r\n"); });
    EXPECT_EQ(piped.status, 1) << piped.err; // b fails the power budget
    EXPECT_EQ(piped.err, "");
    EXPECT_TRUE(piped.out.starts_with("row,id,")) << piped.out;
    EXPECT_NE(piped.out.find("\n2,b,"), std::string::npos) << piped.out;
    EXPECT_TRUE(piped.out.ends_with(",no,yes,ok,\n")) << piped.out;

    const Piped empty = runFed([](int) {});
    EXPECT_EQ(empty.status, 2);
    EXPECT_TRUE(empty.err.starts_with("vantero: --links standard input: the table is empty"))
        << empty.err;
}

// State: a table of five thousand links, a tenth of them failing the power
// budget, fed through a pipe. Action: run it with --report. Expected: a PDF
// report of the whole table, named as standard input, with the worst links.
TEST(LinksProgram, writesTheSummaryReportOfATableFromStandardInput) {
    if (!VANTERO_DRAWS_CHARTS) {
        GTEST_SKIP() << "no reports in this build";
    }
    const vantero::cli::TemporaryFolder folder;
    const std::string pdf = folder.file("summary.pdf");
    const Piped piped = runFed(
        [](int fd) {
            std::string table = "id,length\n";
            for (int r = 0; r < 5000; ++r) {
                table += "link-" + std::to_string(r) + "," + (r % 10 == 3 ? "60" : "20") + "\n";
            }
            table += "worst,95\n";
            writeAll(fd, table);
        },
        false, {"--report", pdf});
    EXPECT_EQ(piped.status, 1) << piped.err;
    EXPECT_EQ(piped.err, "");
    ASSERT_TRUE(vantero::cli::fileContents(pdf).starts_with("%PDF-"));
    if (!vantero::pdftesting::havePoppler()) {
        GTEST_SKIP() << "pdftotext and pdffonts (poppler-utils) are not installed";
    }
    const std::string text = vantero::pdftesting::pdfWords(pdf);
    for (const char* said :
         {"Tabela: entrada padrão", "Enlaces na tabela 5001",
          "Atendem aos dois balanços no seu comprimento 4500", "ao balanço de potência 501",
          "501 enlaces; os 50 de pior margem", " worst ", " 95.00000 "}) {
        EXPECT_NE(text.find(said), std::string::npos) << said << "\nin: " << text;
    }
    EXPECT_TRUE(vantero::pdftesting::dejaVuFonts(pdf).allEmbedded);
}

#if !defined(__SANITIZE_ADDRESS__)
// State: tables of 20 thousand and of 400 thousand links, fed through a
// pipe. Action: run them. Expected: the larger takes hardly more memory.
TEST(LinksProgram, keepsItsMemoryWhateverTheNumberOfRows) {
    const auto tableOf = [](std::size_t rows) {
        return [rows](int fd) {
            writeAll(fd, "id,connectorCount,length\n");
            std::string block;
            for (std::size_t r = 0; r < rows; ++r) {
                block += "link " + std::to_string(r) + "," + std::to_string(r % 12) + "," +
                         std::to_string(r % 97) + ".5\n";
                if (block.size() > (1 << 16)) {
                    writeAll(fd, block);
                    block.clear();
                }
            }
            writeAll(fd, block);
        };
    };
    const Piped small = runFed(tableOf(20000), false);
    const Piped large = runFed(tableOf(400000), false);
    EXPECT_EQ(small.status, 1) << small.err;
    EXPECT_EQ(large.status, 1) << large.err;
    EXPECT_LT(large.peakKilobytes, small.peakKilobytes + 16 * 1024)
        << small.peakKilobytes << " kB for the small table";
}
#endif

} // namespace
