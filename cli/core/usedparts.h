#pragma once

#include "common/calculator/calculator.h"
#include "common/catalogue/catalogue.h"
#include "common/catalogue/partuse.h"

#include <cstdio>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace vantero::cli {

// The parts --use names, read and worked out for a calculator before
// anything is read or written: the whole catalogue (its notices, a part
// replacing another, go to `err`) and what each part sets.
class UsedParts {
public:
    UsedParts(const Calculator& calculator, std::span<const std::string> uses,
              std::span<const std::string> files, std::FILE* err);
    UsedParts(const UsedParts&) = delete;
    UsedParts& operator=(const UsedParts&) = delete;

    // Sets the session's inputs, part after part, saying on `err` what each
    // set and left.
    void apply(Session& session, std::FILE* err) const;

    std::span<const catalogue::PartUse> uses() const { return m_uses; }

    // The whole catalogue, read now when no --use has read it (its notices
    // go to `err`), for the parts a table of links names.
    const catalogue::Catalogue& wholeCatalogue(std::FILE* err);

private:
    std::vector<std::string> m_files;
    bool m_loaded = false;
    catalogue::Catalogue m_catalogue;
    std::vector<std::string> m_requests;
    std::vector<catalogue::PartUse> m_uses;
};

} // namespace vantero::cli
