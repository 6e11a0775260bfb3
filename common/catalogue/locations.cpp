#include "common/catalogue/locations.h"

#include <algorithm>
#include <cstdlib>
#include <system_error>

namespace vantero::catalogue {
namespace {

namespace fs = std::filesystem;

fs::path environmentPath(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? fs::path(value) : fs::path();
}

// The parts of every file of a layer, which holds each name once.
std::vector<Part> layerOf(const std::vector<fs::path>& files) {
    std::vector<Part> parts;
    for (const fs::path& file : files) {
        std::vector<Part> more = loadCatalogueFile(file);
        parts.insert(parts.end(), std::make_move_iterator(more.begin()),
                     std::make_move_iterator(more.end()));
    }
    return parts;
}

} // namespace

fs::path shippedCatalogueFolder() {
    if (fs::path given = environmentPath("VANTERO_CATALOGUE_DIR"); !given.empty()) {
        return given;
    }
    std::error_code error;
    const fs::path program = fs::read_symlink("/proc/self/exe", error);
    if (!error) {
        const fs::path beside = program.parent_path().parent_path() / "share/vantero/catalogue";
        if (fs::is_directory(beside, error)) {
            return beside;
        }
    }
    return VANTERO_INSTALLED_CATALOGUE;
}

fs::path userCatalogueFolder() {
    fs::path config = environmentPath("XDG_CONFIG_HOME");
    if (config.empty() || config.is_relative()) {
        const fs::path home = environmentPath("HOME");
        if (home.empty()) {
            return {};
        }
        config = home / ".config";
    }
    return config / "vantero" / "catalogue";
}

std::vector<fs::path> catalogueFiles(const fs::path& folder) {
    std::vector<fs::path> files;
    std::error_code error;
    for (fs::directory_iterator entry(folder, error), end; !error && entry != end;
         entry.increment(error)) {
        if (entry->path().extension() == ".toml" && entry->is_regular_file(error)) {
            files.push_back(entry->path());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

Catalogue folderCatalogue(const fs::path& folder) {
    Catalogue catalogue;
    std::vector<std::string> notices;
    catalogue.addLayer(layerOf(catalogueFiles(folder)), notices);
    return catalogue;
}

Catalogue loadCatalogue(std::span<const std::string> files, std::vector<std::string>& notices) {
    Catalogue catalogue;
    std::vector<fs::path> read;
    const auto unread = [&read](const std::vector<fs::path>& layer) {
        std::vector<fs::path> fresh;
        for (const fs::path& file : layer) {
            std::error_code error;
            fs::path canonical = fs::weakly_canonical(file, error);
            if (error) {
                canonical = file;
            }
            if (std::find(read.begin(), read.end(), canonical) == read.end()) {
                read.push_back(canonical);
                fresh.push_back(file);
            }
        }
        return fresh;
    };
    catalogue.addLayer(layerOf(unread(catalogueFiles(shippedCatalogueFolder()))), notices);
    if (const fs::path user = userCatalogueFolder(); !user.empty()) {
        catalogue.addLayer(layerOf(unread(catalogueFiles(user))), notices);
    }
    for (const std::string& file : files) {
        catalogue.addLayer(layerOf(unread({fs::path(file)})), notices);
    }
    return catalogue;
}

} // namespace vantero::catalogue
