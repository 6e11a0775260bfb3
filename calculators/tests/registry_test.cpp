#include "calculators/registry.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
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

// The label a result carries (for the report) is the one its window shows
// beside the field. Every result a run can set is met by running each choice
// at each of its values.
TEST(Registry, resultLabelsAreTheWindowsLabels) {
    const std::filesystem::path source(VANTERO_SOURCE_DIR);
    for (const Calculator* calculator : calculators()) {
        const std::string name(calculator->name());
        std::ifstream file(source / name / ("form" + name + ".ui"));
        const std::string ui{std::istreambuf_iterator<char>(file), {}};
        ASSERT_FALSE(ui.empty()) << name;
        std::set<std::string> labelled;
        for (std::size_t c = 0; c < calculator->choices().size(); ++c) {
            for (std::size_t v = 0; v < calculator->choices()[c].values.size(); ++v) {
                const auto session = calculator->newSession();
                session->setChoice(c, static_cast<int>(v));
                for (const RunOutput& output : session->run().outputs) {
                    if (!output.label.empty()) {
                        labelled.insert(std::string(output.name));
                        EXPECT_NE(ui.find("<string>" + std::string(output.label) + "</string>"),
                                  std::string::npos)
                            << name << " " << output.name;
                    }
                }
            }
        }
        EXPECT_GE(labelled.size(), 2u) << name;
    }
}

} // namespace
} // namespace vantero
