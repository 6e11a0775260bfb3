#include "common/calculator/projectfile.h"
#include "common/fileoutput/filereplacement.h"
#include "common/numbers/failure.h"
#include "common/testing/filetesting.h"

#include <gtest/gtest.h>

#include <array>
#include <csignal>
#include <random>
#include <string>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace vantero {
namespace {

using namespace filetesting;

// A small layout with every kind of record: two fields, a choice of three
// items and a choice of two.
constexpr std::array<ProjectRecord, 4> testRecords{{
    {RecordKind::Number, "launchedPower"},
    {RecordKind::Number, "fibreAttenuation"},
    {RecordKind::Choice, "detectorType", 3},
    {RecordKind::Choice, "fibreType", 2},
}};
constexpr ProjectLayout testLayout{".tst", testRecords};

std::vector<RecordEntry> entries(std::string power, std::string attenuation, ChoiceIndex detector,
                                 ChoiceIndex fibre) {
    return {std::move(power), std::move(attenuation), detector, fibre};
}

std::vector<RecordEntry> someEntries() {
    return entries("-10", "0.35", 2, 1);
}

Bytes concat(std::initializer_list<Real48> records) {
    Bytes bytes;
    for (const Real48& r : records) {
        bytes.insert(bytes.end(), r.begin(), r.end());
    }
    return bytes;
}

TEST(EncodeProject, writesOneSixByteRealPerRecordInLayoutOrder) {
    // State: -10 and 1330 typed, the third detector and the second fibre type.
    // Expected: the values, then the codes 3.0 and 2.0, nothing else.
    EXPECT_EQ(encodeProject(testLayout, entries("-10", "1330", 2, 1)),
              concat({{0x84, 0, 0, 0, 0, 0xA0},
                      {0x8B, 0, 0, 0, 0x40, 0x26},
                      {0x82, 0, 0, 0, 0, 0x40},
                      {0x82, 0, 0, 0, 0, 0}}));
}

TEST(EncodeProject, aChoiceWithNothingSelectedKeepsItsPlaceAsZero) {
    // State: no detector selected (a sensitivity typed by hand).
    // Expected: a zero record in its place, and the fibre type after it.
    const Bytes bytes = encodeProject(testLayout, entries("1", "1", std::nullopt, 0));
    ASSERT_EQ(bytes.size(), testLayout.byteCount());
    EXPECT_EQ(Bytes(bytes.begin() + 12, bytes.end()),
              concat({{0, 0, 0, 0, 0, 0}, {0x81, 0, 0, 0, 0, 0}}));
}

struct TypedValue {
    const char* name;
    const char* text;
    Real48 stored;
};

void PrintTo(const TypedValue& t, std::ostream* os) {
    *os << '"' << t.text << '"';
}

class StoresTheTypedValue : public testing::TestWithParam<TypedValue> {};

TEST_P(StoresTheTypedValue, asItsSixByteReal) {
    const Bytes bytes = encodeProject(testLayout, entries("0", GetParam().text, 0, 0));
    EXPECT_EQ(Bytes(bytes.begin() + 6, bytes.begin() + 12), concat({GetParam().stored}));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, StoresTheTypedValue,
    testing::Values(TypedValue{"empty", "", {0, 0, 0, 0, 0, 0}},
                    TypedValue{"blanksAround", "  34 ", {0x86, 0, 0, 0, 0, 0x08}},
                    TypedValue{"exponent", "1.33e3", {0x8B, 0, 0, 0, 0x40, 0x26}},
                    TypedValue{"belowTheRange", "1e-40", {0, 0, 0, 0, 0, 0}},
                    TypedValue{"belowTheRangeNegative", "-1e-40", {0, 0, 0, 0, 0, 0}},
                    TypedValue{"negativeZero", "-0", {0, 0, 0, 0, 0, 0}}),
    [](const auto& info) { return std::string(info.param.name); });

struct BadField {
    const char* name;
    const char* text;
    const char* failure;
};

void PrintTo(const BadField& b, std::ostream* os) {
    *os << '"' << b.text << '"';
}

class RefusesToEncode : public testing::TestWithParam<BadField> {};

TEST_P(RefusesToEncode, withTheFailureOfTheField) {
    EXPECT_EQ(
        failureOf([] { (void)encodeProject(testLayout, entries("0", GetParam().text, 0, 0)); }),
        GetParam().failure);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, RefusesToEncode,
    testing::Values(BadField{"comma", "1,5", "\"1,5\" não é um número válido"},
                    BadField{"letters", "abc", "\"abc\" não é um número válido"},
                    BadField{"trailingLetter", "0.35x", "\"0.35x\" não é um número válido"},
                    BadField{"beyondTheSixByteReal", "1e39", "Floating point overflow"},
                    BadField{"beyondADouble", "-1e309", "Floating point overflow"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(EncodeProject, aBadTextNamesTheInputOfItsRecord) {
    try {
        (void)encodeProject(testLayout, entries("0", "1,5", 0, 0));
        ADD_FAILURE() << "encoded";
    } catch (const NumberFormatFailure& failure) {
        EXPECT_EQ(failure.input(), "fibreAttenuation");
        EXPECT_EQ(failure.typed(), "1,5");
    }
}

TEST(EncodeProject, theFirstFailingRecordIsReported) {
    EXPECT_EQ(failureOf([] { (void)encodeProject(testLayout, entries("abc", "1e39", 0, 0)); }),
              "\"abc\" não é um número válido");
    EXPECT_EQ(failureOf([] { (void)encodeProject(testLayout, entries("1e39", "abc", 0, 0)); }),
              "Floating point overflow");
}

TEST(EncodeProject, entriesThatDoNotFitTheLayoutAreTheCallersFault) {
    const std::vector<std::vector<RecordEntry>> misfits = {
        {std::string("1"), std::string("2"), ChoiceIndex(0)},                   // one short
        {std::string("1"), ChoiceIndex(0), ChoiceIndex(0), ChoiceIndex(0)},     // index for a field
        {std::string("1"), std::string("2"), std::string("1"), ChoiceIndex(0)}, // text for a choice
        entries("1", "2", 3, 0),  // a fourth item of three
        entries("1", "2", 0, 2),  // a third radio button of two
        entries("1", "2", -1, 0), // a negative index
    };
    for (std::size_t i = 0; i < misfits.size(); ++i) {
        EXPECT_THROW((void)encodeProject(testLayout, misfits[i]), std::invalid_argument) << i;
    }
}

TEST(DecodeProject, givesFieldsThreeDecimalsAndChoicesTheirIndex) {
    const std::vector<RecordEntry> decoded =
        decodeProject(testLayout, encodeProject(testLayout, entries("1.23456", "0.3", 2, 1)));
    EXPECT_EQ(decoded, entries("1.235", "0.300", 2, 1));
}

struct StoredCode {
    const char* name;
    double detector;
    double fibre;
    ChoiceIndex detectorIndex;
    ChoiceIndex fibreIndex;
};

void PrintTo(const StoredCode& c, std::ostream* os) {
    *os << c.name;
}

class DecodesAChoice : public testing::TestWithParam<StoredCode> {};

TEST_P(DecodesAChoice, onlyFromOneOfItsCodesExactly) {
    const StoredCode& c = GetParam();
    const Bytes bytes = concat({toReal48(0), toReal48(0), toReal48(c.detector), toReal48(c.fibre)});
    const std::vector<RecordEntry> decoded = decodeProject(testLayout, bytes);
    EXPECT_EQ(std::get<ChoiceIndex>(decoded[2]), c.detectorIndex);
    EXPECT_EQ(std::get<ChoiceIndex>(decoded[3]), c.fibreIndex);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, DecodesAChoice,
    testing::Values(StoredCode{"firstCodes", 1.0, 1.0, 0, 0},
                    StoredCode{"lastCodes", 3.0, 2.0, 2, 1},
                    StoredCode{"nothingSelected", 0.0, 0.0, std::nullopt, std::nullopt},
                    StoredCode{"halfway", 2.5, 1.5, std::nullopt, std::nullopt},
                    StoredCode{"nearlyACode", 1.0 + 0x1p-39, 2.0 - 0x1p-38, std::nullopt,
                               std::nullopt},
                    StoredCode{"pastTheLastCode", 4.0, 3.0, std::nullopt, std::nullopt},
                    StoredCode{"negative", -1.0, -2.0, std::nullopt, std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DecodeProject, aShortBufferGivesNothingButReadBeyondEnd) {
    const Bytes full = encodeProject(testLayout, someEntries());
    for (std::size_t size = 0; size < full.size(); ++size) {
        try {
            (void)decodeProject(testLayout, std::span(full).first(size));
            ADD_FAILURE() << size << " bytes decoded";
        } catch (const FileFailure& failure) {
            EXPECT_TRUE(failure.isReadBeyondEnd()) << size;
            EXPECT_EQ(failure.text(), "Read beyond end of file");
        }
    }
}

TEST(DecodeProject, ignoresTheBytesAfterTheLayout) {
    Bytes longer = encodeProject(testLayout, someEntries());
    longer.insert(longer.end(), {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x01});
    EXPECT_EQ(decodeProject(testLayout, longer), entries("-10.000", "0.350", 2, 1));
}

struct LargeValue {
    const char* name;
    long double typed;
    const char* opened;
};

void PrintTo(const LargeValue& v, std::ostream* os) {
    *os << v.name;
}

class OpensALargeValue : public testing::TestWithParam<LargeValue> {};

TEST_P(OpensALargeValue, asATextThatIsSavedAsTheSameSixBytes) {
    // State: a file holding a typed value. Action: open it and save what the
    // window then holds. Expected: the text, and the same bytes again.
    const Real48 stored = toReal48(GetParam().typed);
    const Bytes bytes = concat({stored, {}, {0x81, 0, 0, 0, 0, 0}, {0x81, 0, 0, 0, 0, 0}});
    const std::vector<RecordEntry> opened = decodeProject(testLayout, bytes);
    EXPECT_EQ(std::get<std::string>(opened[0]), GetParam().opened);
    EXPECT_EQ(encodeProject(testLayout, opened), bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Values, OpensALargeValue,
    testing::Values(LargeValue{"manyDigits", 1.23456789e37L, "1.23456789E+37"},
                    LargeValue{"negative", -1.23456789e37L, "-1.23456789E+37"},
                    LargeValue{"elevenDigitsAbove1e36", 1.0000000001e36L, "1.0000000001E+36"},
                    LargeValue{"threeDecimalsAreEnough", 1.5e38L, "1.500E+38"},
                    LargeValue{"theLargestSixByteReal", 0x1.fffffffffep126L, "1.701411834603E+38"},
                    // just below 1e36 (1e36 itself is stored a little lower):
                    // the fixed-point text, with its 18 digits, as before
                    LargeValue{"below1e36", 1e36L, "999999999999966543000000000000000000.000"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SaveProject, writesExactlyTheEncodedBytesAndReadsThemBack) {
    const TestFolder folder;
    const fs::path file = folder / "link.tst";
    saveProject(testLayout, file, someEntries());
    EXPECT_EQ(contents(file), encodeProject(testLayout, someEntries()));
    EXPECT_EQ(folder.names(), Names{"link.tst"});
    EXPECT_EQ(loadProject(testLayout, file), entries("-10.000", "0.350", 2, 1));
}

TEST(SaveProject, replacesALongerFileAndKeepsItsPermissions) {
    // State: a file of 200 bytes that only its owner and group may read.
    // Expected: the layout's 24 bytes, with the same permissions.
    const TestFolder folder;
    const fs::path file = folder / "link.tst";
    writeContents(file, Bytes(200, 0x55));
    const auto mode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    fs::permissions(file, mode);
    saveProject(testLayout, file, someEntries());
    EXPECT_EQ(contents(file), encodeProject(testLayout, someEntries()));
    EXPECT_EQ(fs::status(file).permissions(), mode);
    EXPECT_EQ(folder.names(), Names{"link.tst"});
}

TEST(SaveProject, throughALinkReplacesTheFileItPointsTo) {
    const TestFolder folder;
    writeContents(folder / "real.tst", Bytes(24, 0));
    fs::create_symlink("real.tst", folder / "link.tst");
    saveProject(testLayout, folder / "link.tst", someEntries());
    EXPECT_TRUE(fs::is_symlink(folder / "link.tst"));
    EXPECT_EQ(contents(folder / "real.tst"), encodeProject(testLayout, someEntries()));
    EXPECT_EQ(folder.names(), (Names{"link.tst", "real.tst"}));
}

struct FailingSave {
    const char* name;
    std::vector<RecordEntry> entries;
    const char* target; // in the test folder
    const char* failure;
};

void PrintTo(const FailingSave& s, std::ostream* os) {
    *os << s.name;
}

class FailingSaveLeavesTheOldFile : public testing::TestWithParam<FailingSave> {};

TEST_P(FailingSaveLeavesTheOldFile, asItWasAndNothingElse) {
    // State: a saved project and a folder beside it.
    // Action: a save that fails. Expected: its failure, the project file
    // byte for byte as before, and no other file left behind.
    const TestFolder folder;
    saveProject(testLayout, folder / "link.tst", someEntries());
    fs::create_directory(folder / "folder.tst");
    const Bytes before = contents(folder / "link.tst");

    EXPECT_EQ(
        failureOf([&] { saveProject(testLayout, folder / GetParam().target, GetParam().entries); }),
        GetParam().failure);
    EXPECT_EQ(contents(folder / "link.tst"), before);
    EXPECT_EQ(folder.names(), (Names{"folder.tst", "link.tst"}));
}

INSTANTIATE_TEST_SUITE_P(
    Failures, FailingSaveLeavesTheOldFile,
    testing::Values(FailingSave{"notANumber", entries("1,5", "0.35", 0, 0), "link.tst",
                                "\"1,5\" não é um número válido"},
                    FailingSave{"overflowInTheLastField", entries("1", "1e39", 0, 0), "link.tst",
                                "Floating point overflow"},
                    FailingSave{"ontoAFolder", someEntries(), "folder.tst", "Invalid filename"},
                    FailingSave{"intoAMissingFolder", someEntries(), "missing/link.tst",
                                "File not found"}),
    [](const auto& info) { return std::string(info.param.name); });

struct SystemFault {
    const char* name;
    fs::perms folder;
    fs::perms file;
    void (*inTheSavingProcess)(const fs::path& file);
    const char* failure;
};

void PrintTo(const SystemFault& f, std::ostream* os) {
    *os << f.name;
}

class SaveUnderASystemFault : public testing::TestWithParam<SystemFault> {};

TEST_P(SaveUnderASystemFault, leavesTheOldFileAsItWasAndNothingElse) {
    // State: a saved project; the folder, the file and the saving process
    // as the case sets them. Action: save other values.
    const TestFolder folder;
    const fs::path file = folder / "link.tst";
    saveProject(testLayout, file, someEntries());
    const Bytes before = contents(file);
    const Permissions folderPermissions(folder.path(), GetParam().folder);
    const Permissions filePermissions(file, GetParam().file);

    EXPECT_EQ(inChildProcess([&] { GetParam().inTheSavingProcess(file); },
                             [&] { saveProject(testLayout, file, entries("5", "1", 0, 0)); }),
              GetParam().failure);
    EXPECT_EQ(contents(file), before);
    EXPECT_EQ(folder.names(), Names{"link.tst"});
}

INSTANTIATE_TEST_SUITE_P(
    Faults, SaveUnderASystemFault,
    testing::Values(SystemFault{"readOnlyFolder", readAndSearch, readOnly | fs::perms::owner_write,
                                becomeAnOrdinaryUser, "File access denied"},
                    // the folder would let the file be replaced; the file itself does not
                    SystemFault{"readOnlyFileInAWritableFolder", fs::perms::all, readOnly,
                                becomeAnOrdinaryUser, "File access denied"},
                    SystemFault{"fullDisk", fs::perms::owner_all | readAndSearch,
                                readOnly | fs::perms::owner_write, leaveRoomForTenBytes,
                                "Disk full"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SaveProject, throughALinkToAMissingFileMakesThatFile) {
    const TestFolder folder;
    fs::create_symlink("real.tst", folder / "link.tst");
    saveProject(testLayout, folder / "link.tst", someEntries());
    EXPECT_TRUE(fs::is_symlink(folder / "link.tst"));
    EXPECT_EQ(contents(folder / "real.tst"), encodeProject(testLayout, someEntries()));
}

// Makes a file of one kind at a path; false where the test may not.
bool makeDevice(const fs::path& path) { // what /dev/null is
    return ::mknod(path.c_str(), S_IFCHR | 0666, ::makedev(1, 3)) == 0;
}

bool makeNamedPipe(const fs::path& path) {
    return ::mkfifo(path.c_str(), 0666) == 0;
}

bool makeSocket(const fs::path& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    path.string().copy(address.sun_path, sizeof address.sun_path - 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    const bool bound = ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return bound;
}

bool makeFolder(const fs::path& path) {
    return fs::create_directory(path);
}

struct SpecialFile {
    const char* name;
    bool (*make)(const fs::path&);
    fs::file_type type;
    bool throughALink;
    const char* failure;
};

void PrintTo(const SpecialFile& f, std::ostream* os) {
    *os << f.name;
}

class SaveOntoASpecialFile : public testing::TestWithParam<SpecialFile> {};

TEST_P(SaveOntoASpecialFile, isRefusedAndChangesNothing) {
    const TestFolder folder;
    const fs::path special = folder / "special.tst";
    if (!GetParam().make(special)) {
        GTEST_SKIP() << "cannot make one here";
    }
    const fs::path target = GetParam().throughALink ? folder / "link.tst" : special;
    if (GetParam().throughALink) {
        fs::create_symlink(special, target);
    }
    const Names before = folder.names();
    EXPECT_EQ(failureOf([&] { saveProject(testLayout, target, someEntries()); }),
              GetParam().failure);
    EXPECT_EQ(fs::symlink_status(special).type(), GetParam().type);
    EXPECT_EQ(fs::is_symlink(target), GetParam().throughALink);
    EXPECT_EQ(folder.names(), before);
}

constexpr const char* notRegular = "Not a regular file";

INSTANTIATE_TEST_SUITE_P(
    Kinds, SaveOntoASpecialFile,
    testing::Values(
        SpecialFile{"device", makeDevice, fs::file_type::character, false, notRegular},
        SpecialFile{"deviceThroughALink", makeDevice, fs::file_type::character, true, notRegular},
        SpecialFile{"namedPipe", makeNamedPipe, fs::file_type::fifo, false, notRegular},
        SpecialFile{"namedPipeThroughALink", makeNamedPipe, fs::file_type::fifo, true, notRegular},
        SpecialFile{"socket", makeSocket, fs::file_type::socket, false, notRegular},
        SpecialFile{"socketThroughALink", makeSocket, fs::file_type::socket, true, notRegular},
        SpecialFile{"folderThroughALink", makeFolder, fs::file_type::directory, true,
                    "Invalid filename"}),
    [](const auto& info) { return std::string(info.param.name); });

constexpr fs::perms rw_r_____ =
    fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
constexpr fs::perms rw_rw_r__ = readOnly | fs::perms::owner_write | fs::perms::group_write;
constexpr fs::perms rwxr_xr_x = readAndSearch | fs::perms::owner_write;

struct SharedFile {
    const char* name;
    fs::perms folder;
    uid_t owner;
    gid_t group;
    fs::perms file;
    std::size_t size;   // of the file before the save
    bool savedByNobody; // else by the superuser
};

void PrintTo(const SharedFile& f, std::ostream* os) {
    *os << f.name;
}

class SaveAFileOfAnotherUser : public testing::TestWithParam<SharedFile> {};

TEST_P(SaveAFileOfAnotherUser, keepsItsOwnerGroupAndPermissions) {
    // State: a file of one user and group, in a folder. Action: a save by
    // another user. Expected: the new bytes alone, and the file still the
    // owner's, in its group, with its permissions.
    if (::geteuid() != 0) {
        GTEST_SKIP() << "only the superuser can give a file to another user";
    }
    const SharedFile& c = GetParam();
    const TestFolder folder;
    const fs::path file = folder / "team.tst";
    writeContents(file, Bytes(c.size, 0x55));
    ASSERT_EQ(::chown(file.c_str(), c.owner, c.group), 0);
    const Permissions filePermissions(file, c.file);
    const Permissions folderPermissions(folder.path(), c.folder);

    EXPECT_EQ(inChildProcess(
                  [&] {
                      if (c.savedByNobody) {
                          becomeAnOrdinaryUser(file);
                      }
                  },
                  [&] { saveProject(testLayout, file, someEntries()); }),
              "saved");
    EXPECT_EQ(contents(file), encodeProject(testLayout, someEntries()));
    struct stat status {};
    ASSERT_EQ(::stat(file.c_str(), &status), 0);
    EXPECT_EQ(status.st_uid, c.owner);
    EXPECT_EQ(status.st_gid, c.group);
    EXPECT_EQ(fs::status(file).permissions(), c.file);
    EXPECT_EQ(folder.names(), Names{"team.tst"});
}

INSTANTIATE_TEST_SUITE_P(Owners, SaveAFileOfAnotherUser,
                         testing::Values(SharedFile{"nobodysFileSavedByTheSuperuser", rwxr_xr_x,
                                                    nobody, nogroup, rw_r_____, 24, false},
                                         // nobody may make a file there, but not give it to its
                                         // owner: the file is rewritten in place
                                         SharedFile{"groupFileInAFolderAnyoneWrites",
                                                    fs::perms::all, 0, nogroup, rw_rw_r__, 24,
                                                    true},
                                         SharedFile{"groupFileInAFolderNobodyMayWrite", rwxr_xr_x,
                                                    0, nogroup, rw_rw_r__, 24, true},
                                         SharedFile{"longerGroupFileInAFolderNobodyMayWrite",
                                                    rwxr_xr_x, 0, nogroup, rw_rw_r__, 200, true},
                                         SharedFile{"fileAnyoneWritesInAStickyFolder",
                                                    fs::perms::all | fs::perms::sticky_bit, 0, 0,
                                                    rw_rw_r__ | fs::perms::others_write, 24, true}),
                         [](const auto& info) { return std::string(info.param.name); });

// What is written onto a full disk: a project file, or the CSV of a sweep
// (1 MiB) in chunks as it runs.
void saveTheProject(const fs::path& file) {
    saveProject(testLayout, file, someEntries());
}

void streamASweep(const fs::path& file) {
    FileReplacement replacement(file, SpecialFiles::WriteInto);
    const std::string rows(4096, '1');
    for (int i = 0; i < 256; ++i) {
        replacement.write(rows);
    }
    replacement.commit();
}

struct FullDisk {
    const char* name;
    void (*write)(const fs::path& file);
    std::size_t size;             // of the file before
    bool inAFolderNobodyMayWrite; // and written by nobody: in place
};

void PrintTo(const FullDisk& d, std::ostream* os) {
    *os << d.name;
}

class WriteOntoAFullDisk : public testing::TestWithParam<FullDisk> {};

TEST_P(WriteOntoAFullDisk, failsAndLeavesTheOldFileAsItWas) {
    // State: a group file on a disk with no room left (a small disk of its
    // own, else the file-size limit). Expected: "Disk full", the old bytes,
    // nothing else.
    const FullDisk& c = GetParam();
    const TestFolder folder;
    const SmallDisk disk(folder.path());
    const fs::path file = folder / "team.tst";
    const Bytes before(c.size, 0x55);
    writeContents(file, before);
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(file.c_str(), 0, nogroup), 0);
    }
    const Permissions filePermissions(file, rw_rw_r__);
    if (disk.mounted()) {
        disk.fill("filler");
    }
    const Permissions folderPermissions(folder.path(),
                                        c.inAFolderNobodyMayWrite ? readAndSearch : rwxr_xr_x);

    EXPECT_EQ(inChildProcess(
                  [&] {
                      if (c.inAFolderNobodyMayWrite) {
                          becomeAnOrdinaryUser(file);
                      }
                      if (!disk.mounted()) {
                          leaveRoomForTenBytes(file);
                      }
                  },
                  [&] { c.write(file); }),
              "Disk full");
    EXPECT_EQ(contents(file), before);
    EXPECT_EQ(folder.names(), disk.mounted() ? (Names{"filler", "team.tst"}) : Names{"team.tst"});
}

INSTANTIATE_TEST_SUITE_P(Files, WriteOntoAFullDisk,
                         testing::Values(FullDisk{"projectBesideTheOld", saveTheProject, 24, false},
                                         // no room for the file to grow
                                         FullDisk{"emptyProjectInPlace", saveTheProject, 0, true},
                                         FullDisk{"sweepBesideTheOld", streamASweep, 5000, false},
                                         FullDisk{"sweepInPlace", streamASweep, 5000, true}),
                         [](const auto& info) { return std::string(info.param.name); });

struct Kill {
    const char* name;
    int signal;
    bool namedTemporaryFiles;
};

void PrintTo(const Kill& k, std::ostream* os) {
    *os << k.name;
}

class KilledSaves : public testing::TestWithParam<Kill> {};

TEST_P(KilledSaves, leaveTheWholeFileAndNothingElse) {
    // State: a process that saves two sets of values in turn, again and
    // again. Action: a signal at a random moment, many times over.
    // Expected: after each, the file holds one set or the other, and
    // nothing else is left in the folder. A kill that nothing can catch may
    // leave a temporary file for an instant; the next save removes it.
    const int signal = GetParam().signal;
    const TestFolder folder;
    const fs::path file = folder / "link.tst";
    const std::vector<RecordEntry> first = someEntries();
    const std::vector<RecordEntry> second = entries("5", "1", 0, 0);
    saveProject(testLayout, file, first);
    const Bytes firstBytes = contents(file);
    const Bytes secondBytes = encodeProject(testLayout, second);
    std::minstd_rand random(static_cast<unsigned>(signal));
    for (int round = 0; round < 40; ++round) {
        const pid_t child = ::fork();
        if (child == 0) {
            useNamedTemporaryFilesOnly(GetParam().namedTemporaryFiles);
            const rlimit noCoreDump{0, 0};
            ::setrlimit(RLIMIT_CORE, &noCoreDump);
            try {
                for (bool again = false;; again = !again) {
                    saveProject(testLayout, file, again ? first : second);
                }
            } catch (...) {
                ::_exit(1);
            }
        }
        ::usleep(static_cast<useconds_t>(random() % 3000));
        ::kill(child, signal);
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << "round " << round;
        const Bytes now = contents(file);
        ASSERT_TRUE(now == firstBytes || now == secondBytes)
            << "round " << round << ": " << now.size() << " bytes";
        if (signal != SIGKILL) {
            ASSERT_EQ(folder.names(), Names{"link.tst"}) << "round " << round;
        }
    }
    saveProject(testLayout, file, first);
    EXPECT_EQ(folder.names(), Names{"link.tst"});
}

INSTANTIATE_TEST_SUITE_P(
    Signals, KilledSaves,
    testing::Values(Kill{"sigkill", SIGKILL, false}, Kill{"sigterm", SIGTERM, false},
                    Kill{"sigkillNamed", SIGKILL, true}, Kill{"sigtermNamed", SIGTERM, true},
                    Kill{"sigintNamed", SIGINT, true}, Kill{"sighupNamed", SIGHUP, true},
                    // what a write past the file-size limit gets
                    Kill{"sigxfszNamed", SIGXFSZ, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LoadProject, aShortFileFailsWithReadBeyondEnd) {
    const TestFolder folder;
    const fs::path file = folder / "link.tst";
    Bytes bytes = encodeProject(testLayout, someEntries());
    bytes.pop_back(); // a part record counts as missing
    writeContents(file, bytes);
    EXPECT_EQ(failureOf([&] { (void)loadProject(testLayout, file); }), "Read beyond end of file");
}

TEST(LoadProject, ignoresTheBytesAfterTheLayout) {
    const TestFolder folder;
    const fs::path file = folder / "link.tst";
    Bytes bytes = encodeProject(testLayout, someEntries());
    bytes.resize(bytes.size() + 4096, 0xFF);
    writeContents(file, bytes);
    EXPECT_EQ(loadProject(testLayout, file), entries("-10.000", "0.350", 2, 1));
}

TEST(LoadProject, fileErrorsCarryTheirText) {
    const TestFolder folder;
    fs::create_directory(folder / "folder.tst");
    writeContents(folder / "file.tst", Bytes(24, 0));
    EXPECT_EQ(failureOf([&] { (void)loadProject(testLayout, folder / "missing.tst"); }),
              "File not found");
    EXPECT_EQ(failureOf([&] { (void)loadProject(testLayout, folder / "folder.tst"); }),
              "Invalid filename");
    EXPECT_EQ(failureOf([&] { (void)loadProject(testLayout, folder / "file.tst/x.tst"); }),
              "Invalid filename");
}

} // namespace
} // namespace vantero
