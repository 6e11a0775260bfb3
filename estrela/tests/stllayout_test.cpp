#include "common/testing/recordcheck.h"
#include "estrela/core/description.h"

#include <gtest/gtest.h>

#include <vector>

namespace vantero::estrela {
namespace {

const ProjectLayout& stlLayout = calculator().layout();

using testing_support::windowEntries;

// The window's initial texts and choices: NRZ, 7B8B, single-mode.
std::vector<RecordEntry> defaultEntries() {
    return windowEntries({"1", "3", "100", "-10", "830", "-36", "9", "0.35", "100", "100"},
                         {0, 1, 0});
}

TEST(StlLayout, theDefaultWindowSavesTo78BytesOfItsValues) {
    const std::vector<std::uint8_t> bytes = encodeProject(stlLayout, defaultEntries());
    ASSERT_EQ(bytes.size(), 78u);
    testing_support::expectRecordValues(stlLayout, bytes,
                                        {1, 3, 100, -10, 830, -36, 9, 0.35, 100, 100, 1, 2, 1});
}

TEST(StlLayout, openingWhatWasSavedGivesThreeDecimalsAndEveryChoice) {
    std::vector<RecordEntry> saved = defaultEntries();
    saved[10] = ChoiceIndex(1); // RZ
    saved[11] = ChoiceIndex(2); // 8B10B
    saved[12] = ChoiceIndex(1); // multimode
    EXPECT_EQ(decodeProject(stlLayout, encodeProject(stlLayout, saved)),
              windowEntries({"1.000", "3.000", "100.000", "-10.000", "830.000", "-36.000", "9.000",
                             "0.350", "100.000", "100.000"},
                            {1, 2, 1}));
}

TEST(StlLayout, aBlockCodeOfFourLeavesTheBlockCodeAsItWas) {
    std::vector<std::uint8_t> bytes = encodeProject(stlLayout, defaultEntries());
    const Real48 four = toReal48(4);
    std::copy(four.begin(), four.end(), bytes.begin() + 66);
    EXPECT_EQ(std::get<ChoiceIndex>(decodeProject(stlLayout, bytes)[11]), std::nullopt);
}

TEST(StlNameRule, keepsAnStlNameAndExtendsAnyOther) {
    testing_support::expectSavedNames(stlLayout.extension, {{"net", "net.stl"},
                                                            {"net.stl", "net.stl"},
                                                            {"net.STL", "net.STL"},
                                                            {"net.Stl", "net.Stl"},
                                                            {"net.sTl", "net.sTl"},
                                                            {"net.st", "net.st.stl"},
                                                            {"net.stl2", "net.stl2.stl"}});
}

} // namespace
} // namespace vantero::estrela
