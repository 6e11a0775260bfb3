#pragma once

#include <QSize>

class QMainWindow;
class QWidget;

namespace vantero::ui {

// The frame of a calculator's main window: a fixed size around a client area
// (the central widget) of `clientArea`, only the system menu and the close box
// in its title bar, and the style's pictures on the toolbar (SpeedButton1 open,
// SpeedButton2 save, SpeedButton3 print) and on the bottom buttons (BitBtn1 OK,
// BitBtn2 abort, BitBtn3 help).
void frameMainWindow(QMainWindow* window, QSize clientArea);

// Moves a top-level window to the centre of its screen.
void centreOnScreen(QWidget* window);

} // namespace vantero::ui
