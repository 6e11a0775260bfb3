#include "common/ui/reportentry.h"

#include "common/fileoutput/filereplacement.h"
#include "common/ui/platform.h"
#include "report/designreport.h"
#include "report/imageformat.h"
#include "report/paint/designreportpdf.h"

#include <QDir>
#include <QFileInfo>

#include <cstdint>
#include <span>
#include <string>

namespace vantero::ui {

QString proposedReportName(const QString& projectFile, std::string_view program) {
    if (projectFile.isEmpty()) {
        return QString::fromUtf8(program.data(), static_cast<qsizetype>(program.size())) +
               QStringLiteral(".pdf");
    }
    const QFileInfo project(projectFile);
    return project.dir().filePath(project.completeBaseName() + QStringLiteral(".pdf"));
}

QString reportFileName(const QString& chosen) {
    return report::hasExtension(chosen.toStdString(), ".pdf") ? chosen
                                                              : chosen + QStringLiteral(".pdf");
}

void saveDesignReport(QWidget* window, Platform& platform, const Session& session,
                      const RunReport& run, const QString& projectFile) {
    const SaveOffer offer{QStringLiteral("Relatório PDF (*.pdf)"),
                          proposedReportName(projectFile, session.calculator().name())};
    const auto chosen = platform.askSaveFileName(window, offer);
    if (!chosen) {
        return;
    }
    const std::string pdf = report::drawDesignReport(
        report::designReport(session, run, projectFile.toStdString(), report::todaysDate()));
    replaceFile(reportFileName(*chosen).toStdString(),
                std::span(reinterpret_cast<const std::uint8_t*>(pdf.data()), pdf.size()),
                SpecialFiles::WriteInto);
}

} // namespace vantero::ui
