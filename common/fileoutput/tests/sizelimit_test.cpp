// Replacements under the file-size limit (ulimit -f), with SIGXFSZ left at
// its default action, which ends a program without a word.

#include "common/fileoutput/filereplacement.h"
#include "common/testing/filetesting.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

namespace vantero {
namespace {

using namespace filetesting;

struct SizeLimit {
    const char* name;
    std::size_t oldSize;
    std::size_t newSize;
    bool inPlace; // a folder the writer may not write: the file is rewritten
    const char* outcome;
};

void PrintTo(const SizeLimit& c, std::ostream* os) {
    *os << c.name;
}

constexpr rlim_t limit = 10240;

class ReplacementUnderASizeLimit : public testing::TestWithParam<SizeLimit> {};

TEST_P(ReplacementUnderASizeLimit, failsBeforeAnyWritePastItAndKeepsTheOldFile) {
    // State: a file of `oldSize` bytes, a limit of 10 KiB. Action: replace it
    // with `newSize` bytes. Expected: "Disk full" and the old bytes where a
    // write would end past the limit (also a rewrite in place that does not
    // make the file longer), else the new bytes; nothing else in the folder.
    const SizeLimit& c = GetParam();
    const TestFolder folder;
    const fs::path file = folder / "sweep.csv";
    const Bytes before(c.oldSize, 'o');
    const Bytes after(c.newSize, 'n');
    writeContents(file, before);
    const Permissions filePermissions(file, fs::perms::all);
    const Permissions folderPermissions(folder.path(),
                                        c.inPlace ? readAndSearch : fs::perms::owner_all);

    EXPECT_EQ(inChildProcess(
                  [&] {
                      if (c.inPlace) {
                          becomeAnOrdinaryUser(file);
                      }
                      std::signal(SIGXFSZ, SIG_DFL);
                      const rlimit fileSize{limit, limit};
                      ::setrlimit(RLIMIT_FSIZE, &fileSize);
                  },
                  [&] { replaceFile(file, after, SpecialFiles::WriteInto); }),
              c.outcome);
    EXPECT_EQ(contents(file), std::string_view(c.outcome) == "saved" ? after : before);
    EXPECT_EQ(folder.names(), Names{"sweep.csv"});
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, ReplacementUnderASizeLimit,
    testing::Values(SizeLimit{"sameLengthPastTheLimitInPlace", 20000, 20000, true, "Disk full"},
                    SizeLimit{"longerPastTheLimitInPlace", 5000, 20000, true, "Disk full"},
                    SizeLimit{"shorterWithinTheLimitInPlace", 20000, 5000, true, "saved"},
                    SizeLimit{"pastTheLimitBesideTheOld", 20000, 20000, false, "Disk full"},
                    SizeLimit{"withinTheLimitBesideTheOld", 20000, 10240, false, "saved"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace vantero
