#include "common/failure.h"
#include "common/projectfile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <grp.h>
#include <iterator>
#include <stdexcept>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace vantero {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

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

// The failure text an action throws, or "" when it throws none.
std::string failureOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const Failure& failure) {
        return failure.text();
    }
    return "";
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

// A folder made for one test, removed with everything in it at the end.
class TestFolder {
public:
    TestFolder() {
        std::string pattern = (fs::temp_directory_path() / "vantero-files-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("no test folder");
        }
        m_path = pattern;
        fs::permissions(m_path, fs::perms::owner_all | fs::perms::group_read |
                                    fs::perms::group_exec | fs::perms::others_read |
                                    fs::perms::others_exec);
    }
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;
    ~TestFolder() {
        std::error_code ignored;
        fs::permissions(m_path, fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(m_path, ignored);
    }

    const fs::path& path() const { return m_path; }
    fs::path operator/(const char* name) const { return m_path / name; }

    std::vector<std::string> names() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(m_path)) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    fs::path m_path;
};

Bytes contents(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeContents(const fs::path& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

using Names = std::vector<std::string>;

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

// Runs `action` in a child process after `prepare`, so that what `prepare`
// changes (the user, the limits) stays in the child, and gives back the text
// of the failure the action threw, or "saved".
std::string inChildProcess(const std::function<void()>& prepare,
                           const std::function<void()>& action) {
    int channel[2];
    if (::pipe(channel) != 0) {
        return "no pipe";
    }
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        std::string report;
        try {
            prepare();
            action();
            report = "saved";
        } catch (const Failure& failure) {
            report = failure.text();
        } catch (const std::exception& other) {
            report = std::string("unexpected: ") + other.what();
        }
        (void)!::write(channel[1], report.data(), report.size());
        ::_exit(0);
    }
    ::close(channel[1]);
    std::string report;
    char buffer[256];
    ssize_t n = 0;
    while ((n = ::read(channel[0], buffer, sizeof buffer)) > 0) {
        report.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(channel[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        return "the child process did not end normally: " + report;
    }
    return report;
}

// The permissions of a file or folder, given back when it goes out of scope.
class Permissions {
public:
    Permissions(const fs::path& path, fs::perms perms)
        : m_path(path), m_before(fs::status(path).permissions()) {
        fs::permissions(path, perms);
    }
    Permissions(const Permissions&) = delete;
    Permissions& operator=(const Permissions&) = delete;
    ~Permissions() {
        std::error_code ignored;
        fs::permissions(m_path, m_before, ignored);
    }

private:
    fs::path m_path;
    fs::perms m_before;
};

// Leaves the superuser, who may write into any folder, for nobody, and
// checks that `file` can still be read.
void becomeAnOrdinaryUser(const fs::path& file) {
    if (::geteuid() == 0 &&
        (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0)) {
        throw std::runtime_error("cannot leave the superuser");
    }
    if (::access(file.c_str(), R_OK) != 0) {
        throw std::runtime_error("the test folder cannot be reached");
    }
}

// The file-size limit stands for a full disk: a write past it fails.
void leaveRoomForTenBytes(const fs::path&) {
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{};
    ::getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = 10;
    if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) {
        throw std::runtime_error("cannot lower the file-size limit");
    }
}

constexpr fs::perms readOnly =
    fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read;
constexpr fs::perms readAndSearch =
    readOnly | fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec;

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
