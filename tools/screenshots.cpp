// Renders every window and dialog of the calculators to PNG files with the
// offscreen platform, for the README and for looking at layout changes:
//   vantero_screenshots OUTPUT_FOLDER
#include "common/ui/recordingplatform.h"
#include "tavo/dialogfibra.h"
#include "tavo/formtavo.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>
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

// One picture of the window per page of its notebook, named after the page.
bool savePages(QWidget& window, const QDir& folder, const QString& prefix) {
    auto* notebook = window.findChild<QTabWidget*>(QStringLiteral("TabbedNotebook1"));
    bool ok = true;
    for (int page = 0; page < notebook->count(); ++page) {
        notebook->setCurrentIndex(page);
        ok = save(window, folder, prefix + QLatin1Char('-') + notebook->tabText(page).toLower()) &&
             ok;
    }
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
    vantero::ui::RecordingPlatform platform;
    bool ok = true;

    vantero::tavo::TFormTAVO tavo(platform);
    ok = savePages(tavo, folder, QStringLiteral("tavo")) && ok;
    ok = save(*tavo.DialogFibra, folder, QStringLiteral("tavo-dialogfibra")) && ok;
    tavo.DialogFibra->hide();
    return ok ? 0 : 1;
}
