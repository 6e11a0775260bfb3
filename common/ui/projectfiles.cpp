#include "common/ui/projectfiles.h"

#include "common/ui/choicelist.h"
#include "common/ui/platform.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QWidget>

#include <filesystem>

namespace vantero::ui {
namespace {

QString componentName(std::string_view component) {
    return QString::fromUtf8(component);
}

std::filesystem::path filePath(const QString& path) {
    return std::filesystem::path(path.toStdString());
}

} // namespace

ProjectFiles::ProjectFiles(QWidget* window, Platform& platform, const ProjectLayout& layout,
                           QString& fileName)
    : m_window(window), m_platform(platform), m_layout(layout), m_fileName(fileName) {}

void ProjectFiles::saveAs() {
    const auto chosen = m_platform.askSaveFileName(m_window);
    if (!chosen) {
        return;
    }
    m_fileName =
        QString::fromStdString(projectPathForSaving(chosen->toStdString(), m_layout.extension));
    showFileName();
    save();
}

void ProjectFiles::save() {
    if (m_fileName.isEmpty()) {
        saveAs();
        return;
    }
    const std::vector<RecordEntry> entries = gather();
    saveProject(m_layout, filePath(m_fileName), entries);
}

void ProjectFiles::open() {
    const auto chosen = m_platform.askOpenFileName(m_window);
    if (!chosen) {
        return;
    }
    if (!isProjectPath(chosen->toStdString(), m_layout.extension)) {
        m_platform.showWarning(m_window, QString::fromUtf8(cannotOpenWarning));
        return;
    }
    const std::vector<RecordEntry> entries = loadProject(m_layout, filePath(*chosen));
    m_fileName = *chosen;
    showFileName();
    apply(entries);
}

void ProjectFiles::showFileName() {
    m_window->setWindowTitle(QStringLiteral("VANTERO [ ") + m_fileName + QStringLiteral(" ]"));
}

std::vector<RecordEntry> ProjectFiles::gather() const {
    std::vector<RecordEntry> entries;
    entries.reserve(m_layout.records.size());
    for (const ProjectRecord& record : m_layout.records) {
        QWidget* widget = m_window->findChild<QWidget*>(componentName(record.components[0]));
        if (record.kind == RecordKind::Number) {
            entries.emplace_back(qobject_cast<QLineEdit*>(widget)->text().toStdString());
        } else if (!record.components[1].empty()) {
            auto* second = m_window->findChild<QRadioButton*>(componentName(record.components[1]));
            const int index = checkedRadio(qobject_cast<QRadioButton*>(widget), second);
            entries.emplace_back(index < 0 ? ChoiceIndex{} : ChoiceIndex{index});
        } else if (auto* list = qobject_cast<QComboBox*>(widget)) {
            const int index = list->currentIndex();
            entries.emplace_back(index < 0 ? ChoiceIndex{} : ChoiceIndex{index});
        } else {
            const int index = checkedItem(qobject_cast<QGroupBox*>(widget));
            entries.emplace_back(index < 0 ? ChoiceIndex{} : ChoiceIndex{index});
        }
    }
    return entries;
}

void ProjectFiles::apply(const std::vector<RecordEntry>& entries) const {
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const ProjectRecord& record = m_layout.records[i];
        QWidget* widget = m_window->findChild<QWidget*>(componentName(record.components[0]));
        if (record.kind == RecordKind::Number) {
            qobject_cast<QLineEdit*>(widget)->setText(
                QString::fromStdString(std::get<std::string>(entries[i])));
            continue;
        }
        const ChoiceIndex index = std::get<ChoiceIndex>(entries[i]);
        if (!record.components[1].empty()) {
            // A pair of radio buttons is cleared first: an unknown code leaves
            // neither selected.
            auto* second = m_window->findChild<QRadioButton*>(componentName(record.components[1]));
            checkRadio(qobject_cast<QRadioButton*>(widget), second, index.value_or(-1));
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
