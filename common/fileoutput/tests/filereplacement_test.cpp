#include "common/fileoutput/filereplacement.h"
#include "common/testing/filetesting.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vantero {
namespace {

using namespace filetesting;

Bytes bytesOf(std::string_view text) {
    return Bytes(text.begin(), text.end());
}

// The replacement with an unnamed temporary file, where the file system
// allows one, and with a named one.
class TemporaryFiles : public testing::TestWithParam<bool> {
protected:
    void SetUp() override { useNamedTemporaryFilesOnly(GetParam()); }
    void TearDown() override { useNamedTemporaryFilesOnly(false); }
};

TEST_P(TemporaryFiles, theChunksReplaceTheFileOnlyOnCommit) {
    const TestFolder folder;
    const fs::path file = folder / "sweep.csv";
    writeContents(file, bytesOf("old\n"));
    {
        FileReplacement abandoned(file);
        abandoned.write("x,y\n");
    }
    EXPECT_EQ(contents(file), bytesOf("old\n"));
    EXPECT_EQ(folder.names(), Names{"sweep.csv"});

    FileReplacement replacement(file);
    replacement.write("x,y\n");
    replacement.write("1,2\n");
    EXPECT_EQ(contents(file), bytesOf("old\n"));
    replacement.commit();
    EXPECT_EQ(contents(file), bytesOf("x,y\n1,2\n"));
    EXPECT_EQ(folder.names(), Names{"sweep.csv"});
}

TEST_P(TemporaryFiles, aNewFileHasThePermissionsTheUmaskLeaves) {
    const TestFolder folder;
    const fs::path file = folder / "chart.png";
    const mode_t before = ::umask(027);
    replaceFile(file, bytesOf("png"));
    ::umask(before);
    EXPECT_EQ(fs::status(file).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

INSTANTIATE_TEST_SUITE_P(Kinds, TemporaryFiles, testing::Values(false, true),
                         [](const auto& info) { return info.param ? "named" : "unnamed"; });

TEST(FileReplacement, writesIntoAPipeOrADeviceWhenAskedTo) {
    const TestFolder folder;
    // A pipe with a reader gets the bytes; with none, the write fails at
    // once instead of waiting.
    const fs::path pipe = folder / "pipe.csv";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    EXPECT_NE(failureOf([&] { replaceFile(pipe, bytesOf("early"), SpecialFiles::WriteInto); }), "");
    const int reader = ::open(pipe.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    replaceFile(pipe, bytesOf("1,2\n"), SpecialFiles::WriteInto);
    char got[16] = {};
    EXPECT_EQ(::read(reader, got, sizeof got), 4);
    EXPECT_STREQ(got, "1,2\n");
    ::close(reader);
    EXPECT_TRUE(fs::is_fifo(pipe));

    // A device through a link: written, the link and the device untouched.
    fs::create_symlink("/dev/null", folder / "null.csv");
    fs::create_symlink("/dev/full", folder / "full.csv");
    EXPECT_EQ(
        failureOf([&] { replaceFile(folder / "null.csv", bytesOf("x"), SpecialFiles::WriteInto); }),
        "");
    EXPECT_EQ(
        failureOf([&] { replaceFile(folder / "full.csv", bytesOf("x"), SpecialFiles::WriteInto); }),
        "Disk full");
    EXPECT_TRUE(fs::is_symlink(folder / "null.csv"));
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
    EXPECT_EQ(folder.names(), (Names{"full.csv", "null.csv", "pipe.csv"}));
}

TEST(FileReplacement, removesWhatKilledReplacementsLeftButNotWhatRunningOnesHold) {
    // State: temporary files of replacements that were killed (no one holds
    // them), one of a replacement still running (held), and a file that
    // only looks like one. Action: a replacement in that folder.
    const TestFolder folder;
    writeContents(folder / ".vantero-4000000-3.tmp", bytesOf("left"));
    writeContents(folder / ".vantero-4000001-0.tmp", bytesOf("running"));
    writeContents(folder / ".vantero-notes.tmp", bytesOf("mine"));
    const int running = ::open((folder / ".vantero-4000001-0.tmp").c_str(), O_RDONLY);
    ASSERT_EQ(::flock(running, LOCK_EX), 0);
    replaceFile(folder / "link.tst", bytesOf("new"));
    ::close(running);
    EXPECT_EQ(folder.names(), (Names{".vantero-4000001-0.tmp", ".vantero-notes.tmp", "link.tst"}));
}

} // namespace
} // namespace vantero
