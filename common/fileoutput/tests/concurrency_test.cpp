// Replacements of one file by several processes at once, and replacements
// cut short by a signal in a process with more than one thread.

#include "common/fileoutput/filereplacement.h"
#include "common/testing/filetesting.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <random>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace vantero {
namespace {

using namespace filetesting;

// How a replacement makes its new file.
enum class Way { Unnamed, Named, InPlace };

struct Writers {
    const char* name;
    Way way;
};

void PrintTo(const Writers& w, std::ostream* os) {
    *os << w.name;
}

// Makes the replacements of `file` go the given way in this process (a
// child): named temporary files only, as on a file system without unnamed
// ones, or in place, as nobody in a folder made read-only by the caller.
void replaceThe(Way way, const fs::path& file) {
    useNamedTemporaryFilesOnly(way == Way::Named);
    if (way == Way::InPlace) {
        becomeAnOrdinaryUser(file);
    }
}

// The contents writer `i` gives the file: each of its own length and byte.
Bytes contentOf(int writer) {
    return Bytes(static_cast<std::size_t>(64 + 37 * writer) << 10,
                 static_cast<std::uint8_t>('a' + writer));
}

class ConcurrentReplacements : public testing::TestWithParam<Writers> {};

TEST_P(ConcurrentReplacements, allSucceedAndLeaveOneWholeFile) {
    // State: a file, the folder as the way needs it. Action: eight processes
    // replace the file at once with contents of different lengths, again and
    // again. Expected: every replacement succeeds; after each round the file
    // is one writer's contents, whole, and nothing else is in the folder.
    const Way way = GetParam().way;
    const TestFolder folder;
    const fs::path file = folder / "t.pdf";
    writeContents(file, contentOf(0));
    const Permissions filePermissions(file, fs::perms::all);
    const Permissions folderPermissions(folder.path(),
                                        way == Way::InPlace ? readAndSearch : fs::perms::all);
    constexpr int writers = 8;
    std::vector<Bytes> expected;
    for (int w = 0; w < writers; ++w) {
        expected.push_back(contentOf(w));
    }
    for (int round = 0; round < 12; ++round) {
        std::vector<pid_t> children;
        for (int w = 0; w < writers; ++w) {
            const pid_t child = ::fork();
            if (child == 0) {
                int failed = 0;
                try {
                    replaceThe(way, file);
                    for (int again = 0; again < 4; ++again) {
                        replaceFile(file, expected[static_cast<std::size_t>(w)]);
                    }
                } catch (...) {
                    failed = 1;
                }
                ::_exit(failed);
            }
            children.push_back(child);
        }
        for (const pid_t child : children) {
            int status = 0;
            ::waitpid(child, &status, 0);
            ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "round " << round;
        }
        const Bytes now = contents(file);
        ASSERT_NE(std::find(expected.begin(), expected.end(), now), expected.end())
            << "round " << round << ": " << now.size() << " bytes, mixed";
        ASSERT_EQ(folder.names(), Names{"t.pdf"}) << "round " << round;
    }
}

const Writers ways[] = {Writers{"unnamedTemporaryFiles", Way::Unnamed},
                        // a finished temporary file is nobody's leftover
                        Writers{"namedTemporaryFiles", Way::Named},
                        // writers of one file take turns
                        Writers{"inPlace", Way::InPlace}};

std::string nameOf(const testing::TestParamInfo<Writers>& info) {
    return info.param.name;
}

INSTANTIATE_TEST_SUITE_P(Ways, ConcurrentReplacements, testing::ValuesIn(ways), nameOf);

class InterruptedReplacements : public testing::TestWithParam<Writers> {};

TEST_P(InterruptedReplacements, leaveOneWholeFileAndNothingElse) {
    // State: a process with a second thread, which the system gives any
    // signal the first one holds, replacing a file with one of two contents
    // of different lengths, again and again. Action: SIGTERM at a random
    // moment, many times over. Expected: the file is one of the two, whole,
    // and nothing else is in the folder.
    const Way way = GetParam().way;
    const TestFolder folder;
    const fs::path file = folder / "sweep.csv";
    const Bytes longer(1 << 20, 'L');
    const Bytes shorter(256 << 10, 'S');
    writeContents(file, longer);
    const Permissions filePermissions(file, fs::perms::all);
    const Permissions folderPermissions(folder.path(),
                                        way == Way::InPlace ? readAndSearch : fs::perms::all);
    std::minstd_rand random(21);
    for (int round = 0; round < 150; ++round) {
        const pid_t child = ::fork();
        if (child == 0) {
            const rlimit noCoreDump{0, 0};
            ::setrlimit(RLIMIT_CORE, &noCoreDump);
            try {
                replaceThe(way, file);
                std::thread([] {
                    for (;;) {
                        ::pause();
                    }
                }).detach();
                for (bool again = false;; again = !again) {
                    replaceFile(file, again ? longer : shorter);
                }
            } catch (...) {
                ::_exit(1);
            }
        }
        ::usleep(static_cast<useconds_t>(2000 + random() % 20000));
        ::kill(child, SIGTERM);
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << "round " << round;
        const Bytes now = contents(file);
        ASSERT_TRUE(now == longer || now == shorter)
            << "round " << round << ": " << now.size() << " bytes, mixed";
        ASSERT_EQ(folder.names(), Names{"sweep.csv"}) << "round " << round;
    }
}

INSTANTIATE_TEST_SUITE_P(Ways, InterruptedReplacements, testing::ValuesIn(ways), nameOf);

} // namespace
} // namespace vantero
