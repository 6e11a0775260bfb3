#include "common/ui/keyboard.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>
#include <QWidget>

namespace vantero::ui {
namespace {

// An open list (or any other popup) handles its own keys, also those that go
// on to the list's own window once it has closed.
bool forAPopup(QObject* watched) {
    const auto* widget = qobject_cast<QWidget*>(watched);
    return QApplication::activePopupWidget() != nullptr ||
           (widget != nullptr && widget->window()->windowType() == Qt::Popup);
}

} // namespace

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
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride) {
        return QObject::eventFilter(watched, event);
    }
    if (forAPopup(watched)) {
        return QObject::eventFilter(watched, event);
    }
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
    return QObject::eventFilter(watched, event);
}

void focusFirstField(QTabWidget* notebook) {
    QWidget* page = notebook->currentWidget();
    if (page == nullptr) {
        return;
    }
    // The window's tab order runs from the window itself through its fields.
    QWidget* window = notebook->window();
    for (QWidget* widget = window->nextInFocusChain(); widget != window;
         widget = widget->nextInFocusChain()) {
        if (page->isAncestorOf(widget) && (widget->focusPolicy() & Qt::TabFocus) != 0 &&
            widget->isEnabled() && widget->isVisibleTo(page)) {
            widget->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
}

} // namespace vantero::ui
