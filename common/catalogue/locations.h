#pragma once

#include "common/catalogue/catalogue.h"

#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace vantero::catalogue {

// The folder of the catalogue that comes with the programs: the one
// $VANTERO_CATALOGUE_DIR names when it is set; otherwise share/vantero/catalogue
// beside the folder of the running program (/usr/bin/vantero finds
// /usr/share/vantero/catalogue, an installed tree wherever it is unpacked, and
// the build tree, which mirrors that layout); otherwise the folder it is
// installed in.
std::filesystem::path shippedCatalogueFolder();

// The folder of the user's own parts: $XDG_CONFIG_HOME/vantero/catalogue, or
// ~/.config/vantero/catalogue; empty when neither is known.
std::filesystem::path userCatalogueFolder();

// The catalogue files of a folder (*.toml), in the order of their names;
// none for a folder that is not there.
std::vector<std::filesystem::path> catalogueFiles(const std::filesystem::path& folder);

// The parts of the catalogue files of one folder, as one layer.
Catalogue folderCatalogue(const std::filesystem::path& folder);

// The whole catalogue in its layers: the shipped folder, the user's folder,
// then each of `files` (given with --catalogue) in order; a file given twice
// is read once. Each part a later layer replaces adds a line to `notices`.
Catalogue loadCatalogue(std::span<const std::string> files, std::vector<std::string>& notices);

} // namespace vantero::catalogue
