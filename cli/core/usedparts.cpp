#include "cli/core/usedparts.h"

#include "common/catalogue/locations.h"

namespace vantero::cli {

UsedParts::UsedParts(const Calculator& calculator, std::span<const std::string> uses,
                     std::span<const std::string> files, std::FILE* err)
    : m_files(files.begin(), files.end()) {
    std::vector<catalogue::PartRequest> requests;
    for (const std::string& use : uses) {
        requests.push_back(catalogue::parsePartRequest(use));
        m_requests.push_back(catalogue::requestText(requests.back()));
    }
    if (requests.empty()) {
        return;
    }
    wholeCatalogue(err);
    for (const catalogue::PartRequest& request : requests) {
        m_uses.push_back(catalogue::planPartUse(
            calculator, catalogue::findPart(m_catalogue, request), request.wavelength));
    }
}

const catalogue::Catalogue& UsedParts::wholeCatalogue(std::FILE* err) {
    if (!m_loaded) {
        std::vector<std::string> notices;
        m_catalogue = catalogue::loadCatalogue(m_files, notices);
        m_loaded = true;
        for (const std::string& notice : notices) {
            std::fprintf(err, "vantero: catalogue: %s\n", notice.c_str());
        }
    }
    return m_catalogue;
}

void UsedParts::apply(Session& session, std::FILE* err) const {
    for (std::size_t i = 0; i < m_uses.size(); ++i) {
        catalogue::applyPartUse(session, m_uses[i]);
        for (const std::string& line : catalogue::partUseLines(m_uses[i])) {
            std::fprintf(err, "vantero: %s: %s\n", m_requests[i].c_str(), line.c_str());
        }
    }
}

} // namespace vantero::cli
