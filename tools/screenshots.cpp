// Renders every window and dialog of the calculators to PNG files with the
// offscreen platform, for the README and for looking at layout changes:
//   vantero_screenshots OUTPUT_FOLDER
#include "common/ui/formfibradlg.h"
#include "common/ui/testing/recordingplatform.h"
#include "tools/windows.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QPushButton>
#include <QTabWidget>

#include <cstdio>

namespace {

bool save(QWidget& widget, const QDir& folder, const QString& name) {
    widget.show();
    QApplication::processEvents();
    const QString path = folder.filePath(name + QStringLiteral(".png"));
    const bool saved = widget.grab().save(path);
    std::printf("%s %s\n", saved ? "wrote" : "FAILED", qPrintable(path));
    return saved;
}

// One picture of the window per page of its notebook, named after the page;
// then the results of OK with its initial figures, and its multimode fibre
// dialog.
bool saveWindow(QWidget& window, QWidget& dialog, const QDir& folder, const QString& prefix) {
    auto* notebook = window.findChild<QTabWidget*>(QStringLiteral("TabbedNotebook1"));
    bool ok = true;
    for (int page = 0; page < notebook->count(); ++page) {
        notebook->setCurrentIndex(page);
        ok = save(window, folder, prefix + QLatin1Char('-') + notebook->tabText(page).toLower()) &&
             ok;
    }
    window.findChild<QPushButton*>(QStringLiteral("BitBtn1"))->click();
    ok = save(window, folder, prefix + QStringLiteral("-resultados")) && ok;
    ok = save(dialog, folder, prefix + QStringLiteral("-dialogfibra")) && ok;
    dialog.hide();
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: vantero_screenshots OUTPUT_FOLDER\n");
        return 2;
    }
    QDir folder(QString::fromLocal8Bit(argv[1]));
    folder.mkpath(QStringLiteral("."));
    bool ok = true;
    for (const vantero::tools::CalculatorWindow& window : vantero::tools::calculatorWindows()) {
        vantero::ui::RecordingPlatform platform;
        const auto form = window.create(platform);
        ok = saveWindow(*form, *form->fibreDialog(), folder,
                        QString::fromUtf8(window.name.data(), window.name.size())) &&
             ok;
    }
    return ok ? 0 : 1;
}
