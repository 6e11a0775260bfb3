#include "anel/core/description.h"
#include "common/numbers/failure.h"
#include "common/testing/recordcheck.h"

#include <gtest/gtest.h>

#include <vector>

namespace vantero::anel {
namespace {

const ProjectLayout& anelLayout = calculator().layout();

using testing_support::windowEntries;

// The window's initial texts and choices: NRZ, 7B8B, single-mode.
std::vector<RecordEntry> defaultEntries() {
    return windowEntries(
        {"1", "3", "15", "0", "1", "-12", "850", "1", "-25", "1", "0.35", "100", "40"}, {0, 1, 0});
}

TEST(AnelLayout, theDefaultWindowSavesTo96BytesOfItsValues) {
    const std::vector<std::uint8_t> bytes = encodeProject(anelLayout, defaultEntries());
    ASSERT_EQ(bytes.size(), 96u);
    testing_support::expectRecordValues(
        anelLayout, bytes, {1, 3, 15, 0, 1, -12, 850, 1, -25, 1, 0.35, 100, 40, 1, 2, 1});
}

TEST(AnelLayout, openingWhatWasSavedGivesThreeDecimalsAndEveryChoice) {
    std::vector<RecordEntry> saved = defaultEntries();
    saved[3] = std::string("2.5"); // isolated stations are stored with their fraction
    saved[13] = ChoiceIndex(1);    // RZ
    saved[14] = ChoiceIndex(0);    // 3B4B
    saved[15] = ChoiceIndex(1);    // multimode
    EXPECT_EQ(decodeProject(anelLayout, encodeProject(anelLayout, saved)),
              windowEntries({"1.000", "3.000", "15.000", "2.500", "1.000", "-12.000", "850.000",
                             "1.000", "-25.000", "1.000", "0.350", "100.000", "40.000"},
                            {1, 0, 1}));
}

TEST(AnelLayout, aFileOf90BytesGivesNothing) {
    // The fibre type is missing: opening fails before any record is taken.
    const std::vector<std::uint8_t> bytes = encodeProject(anelLayout, defaultEntries());
    try {
        (void)decodeProject(anelLayout, std::span(bytes).first(90));
        ADD_FAILURE() << "opened";
    } catch (const FileFailure& failure) {
        EXPECT_EQ(failure.text(), "Read beyond end of file");
    }
}

TEST(AnelNameRule, keepsAnAnelNameAndExtendsAnyOther) {
    testing_support::expectSavedNames(anelLayout.extension, {{"ring", "ring.anel"},
                                                             {"ring.anel", "ring.anel"},
                                                             {"ring.ANEL", "ring.ANEL"},
                                                             {"ring.Anel", "ring.Anel"},
                                                             {"anel", "anel.anel"},
                                                             {"ring.ane", "ring.ane.anel"},
                                                             {"ring.stl", "ring.stl.anel"}});
}

} // namespace
} // namespace vantero::anel
