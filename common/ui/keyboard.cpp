#include "common/ui/keyboard.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QPushButton>
#include <QToolButton>
#include <QWidget>

namespace vantero::ui {

EnterRunsDefault::EnterRunsDefault(QWidget* window, QAbstractButton* defaultButton)
    : QObject(window), m_defaultButton(defaultButton) {
    const auto children = window->findChildren<QWidget*>();
    for (QWidget* child : children) {
        const bool ownKeys = qobject_cast<QPushButton*>(child) != nullptr ||
                             qobject_cast<QToolButton*>(child) != nullptr;
        if (!ownKeys) {
            child->installEventFilter(this);
        }
    }
}

bool EnterRunsDefault::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (event->type() == QEvent::KeyPress && m_defaultButton->isEnabled()) {
                m_defaultButton->click();
            }
            event->accept();
            return true;
        }
        if (key == Qt::Key_Escape) {
            event->accept();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace vantero::ui
