#pragma once

#include "common/calculator/calculator.h"

#include <QString>

#include <string_view>

class QWidget;

namespace vantero::ui {

class Platform;

// The design report from a window: the same PDF file that the command line
// writes with --report, for the window's figures.

// The name the report's save dialog proposes: the project file's, in its
// folder, with ".pdf" in the place of its extension; without a project
// file, the program's name with ".pdf".
QString proposedReportName(const QString& projectFile, std::string_view program);

// The report's file as the user named it, ".pdf" added unless the name ends
// in it (in either case).
QString reportFileName(const QString& chosen);

// Asks for the name of a PDF file in the save dialog and writes to it the
// design report of the run `run` of `session`, whose project-file line names
// `projectFile` (none when empty). The file takes the place of an old one
// only once it is whole; a failure throws FileFailure and leaves the old one
// as it was. Cancelling the dialog writes nothing.
void saveDesignReport(QWidget* window, Platform& platform, const Session& session,
                      const RunReport& run, const QString& projectFile);

} // namespace vantero::ui
