#include "common/testing/recordcheck.h"
#include "tavo/core/description.h"
#include "tavo/core/pointlink.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace vantero::tavo {
namespace {

const ProjectLayout& digLayout = calculator().layout();

using testing_support::expectRecordValues;
using testing_support::expectSavedNames;

// The window's entries with every field at its initial text and the first
// item of every choice selected (NRZ, LED, Si PIN, 1E-9, single-mode).
std::vector<RecordEntry> defaultEntries() {
    const PointLinkInput defaults;
    std::vector<RecordEntry> entries;
    for (const ProjectRecord& record : digLayout.records) {
        if (record.kind == RecordKind::Number) {
            const auto* field = findInput<PointLinkInput>(pointLinkInputs, record.input);
            entries.emplace_back(field == nullptr ? "?" : (defaults.*field->member).text());
        } else {
            entries.emplace_back(ChoiceIndex(0));
        }
    }
    return entries;
}

TEST(DigLayout, eachFieldRecordIsAnInputOfTheBudgetInItsOwnField) {
    // The records name the same field for an input as the budget's table.
    ASSERT_EQ(digLayout.records.size(), 21u);
    for (const ProjectRecord& record : digLayout.records.first(16)) {
        ASSERT_EQ(record.kind, RecordKind::Number);
        const auto* field = findInput<PointLinkInput>(pointLinkInputs, record.input);
        ASSERT_NE(field, nullptr) << record.input;
        EXPECT_FALSE(field->heldByDialog()) << record.input;
    }
    for (const ProjectRecord& record : digLayout.records.last(5)) {
        EXPECT_EQ(record.kind, RecordKind::Choice) << record.input;
    }
}

TEST(DigLayout, theDefaultWindowSavesTo126BytesOfItsValues) {
    const std::vector<std::uint8_t> bytes = encodeProject(digLayout, defaultEntries());
    ASSERT_EQ(bytes.size(), 126u);
    EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 6),
              (std::vector<std::uint8_t>{0x81, 0, 0, 0, 0, 0}));
    expectRecordValues(digLayout, bytes, {1,    5, 34,   5,    0.3,   0, 2, 3, 4, 40, 2,
                                          0.35, 4, 2.03, 1330, 0.092, 1, 1, 1, 1, 1});
}

TEST(DigLayout, openingWhatWasSavedGivesThreeDecimalsAndEveryChoice) {
    std::vector<RecordEntry> saved = defaultEntries();
    saved[0] = std::string("1.23456");
    saved[16] = ChoiceIndex(1); // RZ
    saved[17] = ChoiceIndex(1); // LASER
    saved[18] = ChoiceIndex(4); // InGaAs PIN (1300nm)
    saved[19] = ChoiceIndex(1); // 1E-11
    saved[20] = ChoiceIndex(1); // multimode
    const std::vector<RecordEntry> opened =
        decodeProject(digLayout, encodeProject(digLayout, saved));
    EXPECT_EQ(opened,
              testing_support::windowEntries({"1.235", "5.000", "34.000", "5.000", "0.300", "0.000",
                                              "2.000", "3.000", "4.000", "40.000", "2.000", "0.350",
                                              "4.000", "2.030", "1330.000", "0.092"},
                                             {1, 1, 4, 1, 1}));
}

TEST(DigLayout, aPhotodetectorOrLightSourceWithoutACodeIsLeftUnselected) {
    // State: record 19 holds 2.5, record 18 holds 0.0.
    std::vector<std::uint8_t> bytes = encodeProject(digLayout, defaultEntries());
    const Real48 halfway = toReal48(2.5);
    std::copy(halfway.begin(), halfway.end(), bytes.begin() + 108);
    std::fill(bytes.begin() + 102, bytes.begin() + 108, 0);
    const std::vector<RecordEntry> opened = decodeProject(digLayout, bytes);
    EXPECT_EQ(std::get<ChoiceIndex>(opened[17]), std::nullopt);
    EXPECT_EQ(std::get<ChoiceIndex>(opened[18]), std::nullopt);
    EXPECT_EQ(std::get<ChoiceIndex>(opened[19]), 0); // the BER after them in its place
}

TEST(DigNameRule, keepsADigNameAndExtendsAnyOther) {
    expectSavedNames(digLayout.extension, {{"/home/ana/x.DIG", "/home/ana/x.DIG"},
                                           {"x.dig", "x.dig"},
                                           {"x.Dig", "x.Dig"},
                                           {"x.dig.bak", "x.dig.bak.dig"},
                                           {"dig", "dig.dig"},
                                           {"link.dat", "link.dat.dig"},
                                           {"/x.dig/link", "/x.dig/link.dig"}});
}

} // namespace
} // namespace vantero::tavo
