#include "common/ui/results.h"

#include <QAbstractButton>
#include <QGroupBox>

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
