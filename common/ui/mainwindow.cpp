#include "common/ui/mainwindow.h"

#include <QAbstractButton>
#include <QMainWindow>
#include <QScreen>
#include <QToolButton>

namespace vantero::ui {
namespace {

void setPicture(QWidget* window, const char* button, const QStringList& names) {
    if (auto* found = window->findChild<QAbstractButton*>(QString::fromLatin1(button))) {
        found->setIcon(themedPicture(names));
    }
}

} // namespace

QIcon themedPicture(const QStringList& names) {
    for (const QString& name : names) {
        if (QIcon::hasThemeIcon(name)) {
            return QIcon::fromTheme(name);
        }
    }
    return QIcon(QStringLiteral(":/vantero/pictures/") + names.value(0) + QStringLiteral(".svg"));
}

void frameMainWindow(QMainWindow* window, QSize clientArea) {
    window->setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    window->centralWidget()->setFixedSize(clientArea);
    window->setFixedSize(window->sizeHint());

    setPicture(window, "SpeedButton1", {QStringLiteral("document-open")});
    setPicture(window, "SpeedButton2", {QStringLiteral("document-save")});
    setPicture(window, "SpeedButton3", {QStringLiteral("document-print")});
    setPicture(window, "BitBtn1", {QStringLiteral("dialog-ok"), QStringLiteral("dialog-ok-apply")});
    setPicture(window, "BitBtn2",
               {QStringLiteral("process-stop"), QStringLiteral("dialog-cancel")});
    setPicture(window, "BitBtn3",
               {QStringLiteral("help-contents"), QStringLiteral("help-browser")});

    const auto toolbar =
        window->centralWidget()->findChildren<QToolButton*>(QString(), Qt::FindDirectChildrenOnly);
    for (QToolButton* button : toolbar) {
        button->setFocusPolicy(Qt::NoFocus);
    }
}

void centreOnScreen(QWidget* window) {
    if (const QScreen* screen = window->screen()) {
        QRect frame = window->frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        window->move(frame.topLeft());
    }
}

} // namespace vantero::ui
