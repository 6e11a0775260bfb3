#pragma once

#include <QIcon>
#include <QSize>
#include <QStringList>

class QMainWindow;
class QWidget;

namespace vantero::ui {

// The frame of a calculator's main window: a fixed size around a client area
// (the central widget) of `clientArea`, only the system menu and the close box
// in its title bar, the pictures of the toolbar (SpeedButton1 open,
// SpeedButton2 save, SpeedButton3 print) and of the bottom buttons (BitBtn1
// OK, BitBtn2 abort, BitBtn3 help). The toolbar's picture buttons take no
// keyboard focus: the keyboard stays with the fields and the bottom buttons.
void frameMainWindow(QMainWindow* window, QSize clientArea);

// A picture by its freedesktop icon names, the first the desktop's icon theme
// has; without any, the project's own drawing of the first name.
QIcon themedPicture(const QStringList& names);

// Moves a top-level window to the centre of its screen.
void centreOnScreen(QWidget* window);

} // namespace vantero::ui
