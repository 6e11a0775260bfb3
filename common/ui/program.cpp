#include "common/ui/program.h"

#include "common/calculator/calculator.h"

#include <QGuiApplication>
#include <QLibraryInfo>

namespace vantero::ui {
namespace {

QString desktopName(const Calculator& calculator) {
    return QStringLiteral("vantero-") + QString::fromUtf8(calculator.name());
}

} // namespace

bool translateToolkit(QTranslator& translator) {
    if (!translator.load(QStringLiteral("qtbase_pt_BR"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        return false;
    }
    return QCoreApplication::installTranslator(&translator);
}

QIcon calculatorIcon(const Calculator& calculator) {
    return QIcon(QStringLiteral(":/vantero/icons/") + desktopName(calculator) +
                 QStringLiteral(".svg"));
}

void takeDesktopIdentity(const Calculator& calculator) {
    // The window class (WM_CLASS "NAME", "vantero-NAME") and the desktop file
    // name tie every window to the entry vantero-NAME.desktop.
    QCoreApplication::setApplicationName(desktopName(calculator));
    QGuiApplication::setDesktopFileName(desktopName(calculator));
    QGuiApplication::setWindowIcon(calculatorIcon(calculator));
}

} // namespace vantero::ui
