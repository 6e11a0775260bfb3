#include "common/ui/results.h"

#include <QAbstractButton>
#include <QGroupBox>

namespace vantero::ui {

void nameForAssistiveTechnology(QWidget* window) {
    if (window->accessibleName().isEmpty()) {
        window->setAccessibleName(window->windowTitle());
    }
    const auto labels = window->findChildren<QLabel*>();
    for (QLabel* label : labels) {
        if (QWidget* buddy = label->buddy()) {
            buddy->setAccessibleName(label->text().remove(QLatin1Char('&')).simplified());
        }
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
