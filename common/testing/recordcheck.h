#pragma once

// Checks shared by the tests of the three project-file layouts.

#include "common/calculator/projectfile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <string>
#include <vector>

namespace vantero::testing_support {

// The entries of a window whose fields hold `texts` and whose choices have
// `choices` selected, in the layout's order (fields first).
inline std::vector<RecordEntry> windowEntries(std::initializer_list<const char*> texts,
                                              std::initializer_list<ChoiceIndex> choices) {
    std::vector<RecordEntry> entries;
    for (const char* text : texts) {
        entries.emplace_back(std::string(text));
    }
    for (const ChoiceIndex& choice : choices) {
        entries.emplace_back(choice);
    }
    return entries;
}

// Expects the records of `bytes` to hold `expected`, each to the nearest
// 40-bit significand (within half a unit of its last bit).
inline void expectRecordValues(const ProjectLayout& layout, std::span<const std::uint8_t> bytes,
                               const std::vector<double>& expected) {
    const std::vector<double> values = decodeRecordValues(layout, bytes);
    ASSERT_EQ(values.size(), expected.size());
    for (std::size_t i = 0; i < values.size(); ++i) {
        EXPECT_NEAR(values[i], expected[i], std::abs(expected[i]) * 0x1p-40) << "record " << i + 1;
    }
}

struct SavedName {
    const char* chosen;
    const char* saved; // the name a save uses; opening accepts only names kept as they are
};

// Expects the name rule of `extension` to give each chosen name its saved
// name, and opening to accept exactly the names that a save keeps.
inline void expectSavedNames(std::string_view extension, std::initializer_list<SavedName> names) {
    for (const SavedName& n : names) {
        EXPECT_EQ(projectPathForSaving(n.chosen, extension), n.saved) << n.chosen;
        EXPECT_EQ(isProjectPath(n.chosen, extension), std::string_view(n.chosen) == n.saved)
            << n.chosen;
    }
}

} // namespace vantero::testing_support
