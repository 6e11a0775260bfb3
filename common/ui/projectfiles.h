#pragma once

#include "common/calculator/calculator.h"
#include "common/calculator/projectfile.h"

#include <QString>

#include <vector>

class QLineEdit;
class QMainWindow;
class QWidget;

namespace vantero::ui {

class Platform;

// The project file of a main window: "Salvar Como...", "Salvar..." and
// "Abrir...", the current file name and the caption that shows it.
//
// Records are read from and written to the window's components that the
// calculator's description names: a numeric record from its text field, a
// choice from its list (the selected item), its radio group (the checked
// button, in order) or its pair of radio buttons. Opening selects items from
// program code: a list raises no change event; a radio group reports its
// toggled buttons as it always does.
class ProjectFiles {
public:
    // `fileName` is the window's ProjectFileName.
    ProjectFiles(QMainWindow* window, Platform& platform, const Calculator& calculator,
                 QString& fileName);

    // Asks for a name (adding the extension where it lacks it), shows it in
    // the caption and saves. An empty name, a folder or a device is refused
    // (projectFileForSaving) and changes nothing.
    void saveAs();
    // Saves to the current file, or asks for a name when there is none.
    void save();
    // Asks for a file, refuses one without the extension with a warning, and
    // reads it into the window. The file is read whole first: a file that
    // cannot be read changes nothing, the name and caption included.
    void open();

private:
    std::vector<RecordEntry> gather() const;
    void apply(const std::vector<RecordEntry>& entries) const;
    void showFileName();
    QWidget* fields() const;
    QWidget* component(std::string_view name) const;
    QLineEdit* numberField(const ProjectRecord& record) const;
    const ChoiceDescription& choiceOf(const ProjectRecord& record) const;
    const ProjectLayout& layout() const { return m_calculator.layout(); }

    QMainWindow* m_window;
    Platform& m_platform;
    const Calculator& m_calculator;
    QString& m_fileName;
};

} // namespace vantero::ui
