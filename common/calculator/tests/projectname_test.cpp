#include "common/calculator/projectfile.h"
#include "common/numbers/failure.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace vantero {
namespace {

struct NameCase {
    const char* chosen;
    const char* extension;
    bool isProjectPath;
};

void PrintTo(const NameCase& c, std::ostream* os) {
    *os << '"' << c.chosen << "\" for " << c.extension;
}

// The rule every program applies with its own extension: the last component
// of the path ends in the extension, letters in either case.
class ProjectNameRule : public testing::TestWithParam<NameCase> {};

TEST_P(ProjectNameRule, acceptsOrAppendsTheExtension) {
    const NameCase& c = GetParam();
    EXPECT_EQ(isProjectPath(c.chosen, c.extension), c.isProjectPath);
    const std::string saved = projectPathForSaving(c.chosen, c.extension);
    EXPECT_EQ(saved, c.isProjectPath ? std::string(c.chosen) : c.chosen + std::string(c.extension));
    // Whatever a save produces can be opened.
    EXPECT_TRUE(isProjectPath(saved, c.extension)) << saved;
}

const NameCase nameCases[] = {
    NameCase{"/home/ana/link.dig", ".dig", true}, NameCase{"/home/ana/LINK.DiG", ".dig", true},
    NameCase{"link", ".dig", false}, NameCase{"/home/ana/link.dig.txt", ".dig", false},
    NameCase{"adig", ".dig", false}, NameCase{"/x/dig", ".dig", false},
    NameCase{"link.d", ".dig", false}, NameCase{"", ".dig", false},
    // the extension alone is a name ending in the extension
    NameCase{".dig", ".dig", true}, NameCase{"/home/ana/.DIG", ".dig", true},
    NameCase{"ig", ".dig", false},
    // only the last component counts
    NameCase{"a/b.dig/c", ".dig", false}, NameCase{"a.dig/", ".dig", false},
    NameCase{"/a.anel/ring", ".anel", false}, NameCase{"/x/y/ring.anel", ".anel", true},
    // four letters are shorter than ".anel"
    NameCase{"/x/anel", ".anel", false}, NameCase{"/x/.anel", ".anel", true},
#ifdef _WIN32
    NameCase{"C:\\proj\\link.DIG", ".dig", true}, NameCase{"C:\\proj.dig\\link", ".dig", false},
#else
    // "\" is an ordinary character of a name here
    NameCase{"/x/a\\b.dig", ".dig", true}, NameCase{"/x/link.di\\g", ".dig", false},
#endif
    NameCase{"/x/net.stl", ".stl", true}, NameCase{"/x/net.stl ", ".stl", false},
    NameCase{"/x/relatório.STL", ".stl", true}};

INSTANTIATE_TEST_SUITE_P(Paths, ProjectNameRule, testing::ValuesIn(nameCases));

struct RefusedName {
    const char* name;
    std::string chosen;
    const char* failure;
};

void PrintTo(const RefusedName& c, std::ostream* os) {
    *os << c.name;
}

// Names a save must not take: no name at all, a folder, a device. A name
// without the extension would get it, and a file would be made beside or
// inside what the user chose ("/.dig", "/dev/null.dig").
class RefusedNames : public testing::TestWithParam<RefusedName> {};

TEST_P(RefusedNames, failBeforeAnyFileIsMade) {
    const RefusedName& c = GetParam();
    std::string failure;
    try {
        (void)projectFileForSaving(c.chosen, ".dig");
    } catch (const FileFailure& refused) {
        failure = refused.text();
        EXPECT_EQ(refused.path(), c.chosen);
    }
    EXPECT_EQ(failure, c.failure);
}

const std::string temporary = std::filesystem::temp_directory_path().string();

INSTANTIATE_TEST_SUITE_P(
    Names, RefusedNames,
    testing::Values(RefusedName{"empty", "", "Invalid filename"},
                    RefusedName{"root", "/", "Invalid filename"},
                    RefusedName{"aFolder", temporary, "Invalid filename"},
                    RefusedName{"aFolderWithASlash", temporary + "/", "Invalid filename"},
                    RefusedName{"dot", ".", "Invalid filename"},
                    RefusedName{"dotDot", "x/..", "Invalid filename"},
                    RefusedName{"aDevice", "/dev/null", "Not a regular file"},
                    RefusedName{"aFolderWithTheExtension", "/x.dig/", "Invalid filename"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ProjectFileForSaving, takesAnyOtherNameAsTheNameRuleDoes) {
    // A new name, a file of another kind, a file of this one.
    EXPECT_EQ(projectFileForSaving("/nowhere/link", ".dig"), "/nowhere/link.dig");
    EXPECT_EQ(projectFileForSaving("/etc/passwd", ".dig"), "/etc/passwd.dig");
    EXPECT_EQ(projectFileForSaving("/nowhere/LINK.DIG", ".dig"), "/nowhere/LINK.DIG");
}

} // namespace
} // namespace vantero
