#include "common/ui/projectfiles.h"

#include "common/ui/choicelist.h"
#include "common/ui/platform.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QMainWindow>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QWidget>

#include <filesystem>

namespace vantero::ui {
namespace {

std::filesystem::path filePath(const QString& path) {
    return std::filesystem::path(path.toStdString());
}

} // namespace

ProjectFiles::ProjectFiles(QMainWindow* window, Platform& platform, const Calculator& calculator,
                           QString& fileName)
    : m_window(window), m_platform(platform), m_calculator(calculator), m_fileName(fileName) {}

QWidget* ProjectFiles::fields() const {
    return m_window->centralWidget();
}

void ProjectFiles::saveAs() {
    const auto chosen = m_platform.askSaveFileName(m_window, {});
    if (!chosen) {
        return;
    }
    // A folder, a device or no name at all is refused before the name is
    // taken.
    m_fileName =
        QString::fromStdString(projectFileForSaving(chosen->toStdString(), layout().extension));
    showFileName();
    save();
}

void ProjectFiles::save() {
    if (m_fileName.isEmpty()) {
        saveAs();
        return;
    }
    const std::vector<RecordEntry> entries = gather();
    saveProject(layout(), filePath(m_fileName), entries);
}

void ProjectFiles::open() {
    const auto chosen = m_platform.askOpenFileName(m_window);
    if (!chosen) {
        return;
    }
    if (!isProjectPath(chosen->toStdString(), layout().extension)) {
        m_platform.showWarning(m_window, QString::fromUtf8(cannotOpenWarning));
        return;
    }
    const std::vector<RecordEntry> entries = loadProject(layout(), filePath(*chosen));
    m_fileName = *chosen;
    showFileName();
    apply(entries);
}

void ProjectFiles::showFileName() {
    m_window->setWindowTitle(QStringLiteral("VANTERO [ ") + m_fileName + QStringLiteral(" ]"));
}

QWidget* ProjectFiles::component(std::string_view name) const {
    return fields()->findChild<QWidget*>(QString::fromUtf8(name));
}

QLineEdit* ProjectFiles::numberField(const ProjectRecord& record) const {
    const InputDescription& input = m_calculator.inputs()[*m_calculator.findInput(record.input)];
    return qobject_cast<QLineEdit*>(component(input.component));
}

const ChoiceDescription& ProjectFiles::choiceOf(const ProjectRecord& record) const {
    return m_calculator.choices()[*m_calculator.findChoice(record.input)];
}

std::vector<RecordEntry> ProjectFiles::gather() const {
    std::vector<RecordEntry> entries;
    entries.reserve(layout().records.size());
    for (const ProjectRecord& record : layout().records) {
        if (record.kind == RecordKind::Number) {
            entries.emplace_back(numberField(record)->text().toStdString());
        } else {
            const int index = selectedItem(fields(), choiceOf(record));
            entries.emplace_back(index < 0 ? ChoiceIndex{} : ChoiceIndex{index});
        }
    }
    return entries;
}

void ProjectFiles::apply(const std::vector<RecordEntry>& entries) const {
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const ProjectRecord& record = layout().records[i];
        if (record.kind == RecordKind::Number) {
            numberField(record)->setText(QString::fromStdString(std::get<std::string>(entries[i])));
            continue;
        }
        const ChoiceDescription& choice = choiceOf(record);
        const ChoiceIndex index = std::get<ChoiceIndex>(entries[i]);
        QWidget* widget = component(choice.components[0]);
        if (choice.isButtonPair()) {
            // A pair of radio buttons is cleared first: an unknown code leaves
            // neither selected.
            checkRadio(qobject_cast<QRadioButton*>(widget),
                       qobject_cast<QRadioButton*>(component(choice.components[1])),
                       index.value_or(-1));
        } else if (auto* list = qobject_cast<QComboBox*>(widget)) {
            if (index) {
                const QSignalBlocker blocker(list);
                list->setCurrentIndex(*index);
            }
        } else if (index) {
            // A radio group keeps its selection for an unknown code; a known
            // one checks its button, and the group's own action follows.
            groupButtons(qobject_cast<QGroupBox*>(widget)).at(*index)->setChecked(true);
        }
    }
}

} // namespace vantero::ui
