#pragma once

#include "common/ui/platform.h"

#include <QApplication>

namespace vantero::ui {

// The start-up of a calculator program: the application, its main window
// (which creates its multimode fibre dialog, hidden), and the event loop
// until the window is closed or its abort button ends the program.
template <typename Form> int runProgram(int argc, char** argv) {
    QApplication application(argc, argv);
    QtPlatform platform;
    Form form(platform);
    form.show();
    return QApplication::exec();
}

} // namespace vantero::ui
