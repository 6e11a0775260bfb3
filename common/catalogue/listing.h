#pragma once

#include "common/catalogue/catalogue.h"

#include <span>
#include <string>

namespace vantero::catalogue {

// What "vantero catalogue [KIND] [NAME] [--json]" prints: a line for each
// part (its kind, name and title, tab-separated), or one part with every
// figure and its source; with `json`, the parts whole as JSON. A NAME the
// catalogue lacks is a CatalogueError that lists those of its kind.
std::string catalogueListing(const Catalogue& catalogue,
                             std::span<const std::string> words, bool json);

} // namespace vantero::catalogue
