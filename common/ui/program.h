#pragma once

#include "common/ui/platform.h"

#include <QApplication>
#include <QIcon>
#include <QTranslator>

namespace vantero {
class Calculator;
}

namespace vantero::ui {

// The toolkit's own texts (the file dialogs' buttons and labels, the fields'
// context menus) in Portuguese (Brazil), whatever the user's locale: the
// programs speak Portuguese and read no settings of their own. False when the
// translations are not installed; the texts then stay in English.
bool translateToolkit(QTranslator& translator);

// A calculator's icon, as its desktop entry shows it.
QIcon calculatorIcon(const Calculator& calculator);

// The program's identity on the desktop: its name, desktop entry and window
// class "vantero-NAME", after the entry vantero-NAME.desktop that starts it,
// and its icon. Call before the first window is shown.
void takeDesktopIdentity(const Calculator& calculator);

// The start-up of a calculator program: the application, its main window
// (which creates its multimode fibre dialog, hidden), and the event loop
// until the window is closed or its abort button ends the program.
template <typename Form> int runProgram(int argc, char** argv) {
    QApplication application(argc, argv);
    QTranslator translator;
    translateToolkit(translator);
    QtPlatform platform;
    Form form(platform);
    takeDesktopIdentity(form.calculator());
    form.show();
    return QApplication::exec();
}

} // namespace vantero::ui
