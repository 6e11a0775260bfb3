#include "common/ui/mainwindow.h"

#include <QAbstractButton>
#include <QIcon>
#include <QMainWindow>
#include <QScreen>
#include <QStyle>

namespace vantero::ui {
namespace {

void setPicture(QWidget* window, const char* button, const QIcon& picture) {
    if (auto* found = window->findChild<QAbstractButton*>(QString::fromLatin1(button))) {
        found->setIcon(picture);
    }
}

} // namespace

void frameMainWindow(QMainWindow* window, QSize clientArea) {
    window->setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    window->centralWidget()->setFixedSize(clientArea);
    window->setFixedSize(window->sizeHint());

    const QStyle* style = window->style();
    setPicture(window, "SpeedButton1", style->standardIcon(QStyle::SP_DialogOpenButton));
    setPicture(window, "SpeedButton2", style->standardIcon(QStyle::SP_DialogSaveButton));
    setPicture(window, "SpeedButton3",
               QIcon::fromTheme(QStringLiteral("document-print"),
                                style->standardIcon(QStyle::SP_FileIcon)));
    setPicture(window, "BitBtn1", style->standardIcon(QStyle::SP_DialogYesButton));
    setPicture(window, "BitBtn2", style->standardIcon(QStyle::SP_DialogAbortButton));
    setPicture(window, "BitBtn3", style->standardIcon(QStyle::SP_DialogHelpButton));
}

void centreOnScreen(QWidget* window) {
    if (const QScreen* screen = window->screen()) {
        QRect frame = window->frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        window->move(frame.topLeft());
    }
}

} // namespace vantero::ui
