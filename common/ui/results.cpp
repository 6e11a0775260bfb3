#include "common/ui/results.h"

#include "common/ui/platform.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

namespace vantero::ui {

void nameByCaption(QLabel* label) {
    const QString caption = label->text().remove(QLatin1Char('&')).simplified();
    if (caption.isEmpty()) {
        return;
    }
    label->setAccessibleName(caption);
    if (QWidget* buddy = label->buddy()) {
        buddy->setAccessibleName(caption);
    }
}

void writeOutputs(QWidget* fields, Platform& platform, const RunReport& report) {
    for (const RunOutput& output : report.outputs) {
        const QString text = QString::fromStdString(output.output.text());
        if (output.kind == OutputKind::Message) {
            platform.showError(fields->window(), text);
            continue;
        }
        QWidget* target = fields->findChild<QWidget*>(QString::fromUtf8(output.component));
        if (auto* edit = qobject_cast<QLineEdit*>(target)) {
            edit->setText(text);
        } else if (auto* label = qobject_cast<QLabel*>(target)) {
            label->setText(text);
            nameByCaption(label);
        }
    }
}

void nameForAssistiveTechnology(QWidget* window) {
    if (window->accessibleName().isEmpty()) {
        window->setAccessibleName(window->windowTitle());
    }
    const auto labels = window->findChildren<QLabel*>();
    for (QLabel* label : labels) {
        nameByCaption(label);
    }
    const auto widgets = window->findChildren<QWidget*>();
    for (QWidget* widget : widgets) {
        if (!widget->accessibleName().isEmpty()) {
            continue;
        }
        QString name;
        if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            name = button->text().remove(QLatin1Char('&'));
        } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
            name = group->title();
        }
        widget->setAccessibleName(name.isEmpty() ? widget->objectName() : name);
    }
}

} // namespace vantero::ui
