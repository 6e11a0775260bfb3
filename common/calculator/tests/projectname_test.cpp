#include "common/calculator/projectfile.h"

#include <gtest/gtest.h>

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

} // namespace
} // namespace vantero
