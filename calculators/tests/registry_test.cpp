#include "calculators/registry.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

namespace vantero {
namespace {

// A calculator is a folder with a core description; the registry, generated
// from the build's list, must name each one, with its desktop data beside it.
TEST(Registry, namesEveryCalculatorOfTheSourceTreeOnce) {
    std::set<std::string> folders;
    for (const auto& entry : std::filesystem::directory_iterator(VANTERO_SOURCE_DIR)) {
        if (std::filesystem::exists(entry.path() / "core" / "description.h")) {
            folders.insert(entry.path().filename().string());
        }
    }
    std::set<std::string> registered;
    for (const Calculator* calculator : calculators()) {
        EXPECT_TRUE(registered.insert(std::string(calculator->name())).second)
            << calculator->name() << " is registered twice";
        EXPECT_EQ(findCalculator(calculator->name()), calculator);
    }
    EXPECT_EQ(registered, folders);
    EXPECT_EQ(findCalculator("bus"), nullptr);
}

TEST(Registry, eachCalculatorKeepsItsDesktopEntryAndIconInItsFolder) {
    const std::filesystem::path source(VANTERO_SOURCE_DIR);
    for (const Calculator* calculator : calculators()) {
        const std::string name(calculator->name());
        EXPECT_TRUE(std::filesystem::exists(source / name / "data" / (name + ".desktop"))) << name;
        EXPECT_TRUE(std::filesystem::exists(source / name / "data" / ("vantero-" + name + ".svg")))
            << name;
    }
}

} // namespace
} // namespace vantero
