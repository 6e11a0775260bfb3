#include "common/numbers/failure.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

namespace vantero {
namespace {

struct ErrorText {
    const char* name;
    int errorNumber;
    const char* text;
};

void PrintTo(const ErrorText& e, std::ostream* os) {
    *os << e.name;
}

class FileFailureText : public testing::TestWithParam<ErrorText> {};

TEST_P(FileFailureText, namesTheSystemError) {
    const FileFailure failure(GetParam().errorNumber);
    EXPECT_EQ(failure.text(), GetParam().text);
    EXPECT_EQ(failure.errorNumber(), GetParam().errorNumber);
    EXPECT_FALSE(failure.isReadBeyondEnd());
}

INSTANTIATE_TEST_SUITE_P(
    ErrorNumbers, FileFailureText,
    testing::Values(ErrorText{"ENOENT", ENOENT, "File not found"},
                    ErrorText{"ENAMETOOLONG", ENAMETOOLONG, "Invalid filename"},
                    ErrorText{"EINVAL", EINVAL, "Invalid filename"},
                    ErrorText{"EISDIR", EISDIR, "Invalid filename"},
                    ErrorText{"ENOTDIR", ENOTDIR, "Invalid filename"},
                    ErrorText{"ELOOP", ELOOP, "Invalid filename"},
                    ErrorText{"EILSEQ", EILSEQ, "Invalid filename"},
                    ErrorText{"EMFILE", EMFILE, "Too many open files"},
                    ErrorText{"ENFILE", ENFILE, "Too many open files"},
                    ErrorText{"EACCES", EACCES, "File access denied"},
                    ErrorText{"EPERM", EPERM, "File access denied"},
                    ErrorText{"EROFS", EROFS, "File access denied"},
                    ErrorText{"ENOSPC", ENOSPC, "Disk full"},
                    ErrorText{"EDQUOT", EDQUOT, "Disk full"},
                    ErrorText{"EFBIG", EFBIG, "Disk full"},
                    // a closed standard output, a device that is not there, a
                    // pipe whose reader left, one that would have to be waited for
                    ErrorText{"EBADF", EBADF, "File not open"},
                    ErrorText{"ENXIO", ENXIO, "No such device"},
                    ErrorText{"EPIPE", EPIPE, "No process reads the pipe"},
                    ErrorText{"EAGAIN", EAGAIN, "Not ready"}, ErrorText{"EIO", EIO, "I/O error 5"},
                    ErrorText{"EBUSY", EBUSY, "I/O error 16"},
                    ErrorText{"ETIMEDOUT", ETIMEDOUT, "I/O error 110"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FileFailure, aReadBeyondTheEndIsItsOwnFailure) {
    const FileFailure failure = FileFailure::readBeyondEnd();
    EXPECT_EQ(failure.text(), "Read beyond end of file");
    EXPECT_TRUE(failure.isReadBeyondEnd());
}

TEST(FileFailure, aPipeWithoutTheOtherEndSaysSo) {
    EXPECT_EQ(FileFailure::noReader("p.csv").text(), "No process reads the pipe");
    EXPECT_EQ(FileFailure::noReader().errorNumber(), ENXIO);
    EXPECT_EQ(FileFailure::nothingWrittenYet("p.dig").text(), "Nothing written to the pipe yet");
    EXPECT_EQ(FileFailure::nothingWrittenYet().errorNumber(), EAGAIN);
}

TEST(FileFailure, aSpecialFileWhereAFileWasToBeReplacedIsItsOwnFailure) {
    const FileFailure failure = FileFailure::notARegularFile("dev.dig");
    EXPECT_EQ(failure.text(), "Not a regular file");
    EXPECT_EQ(failure.errorNumber(), 0);
    EXPECT_FALSE(failure.isReadBeyondEnd());
    EXPECT_EQ(failure.path(), "dev.dig");
}

} // namespace
} // namespace vantero
