#include "common/ui/mainwindow.h"
#include "common/ui/program.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QIcon>
#include <QTemporaryDir>
#include <QTranslator>

#include <gtest/gtest.h>

#include <utility>

namespace vantero::ui {
namespace {

TEST(Program, theToolkitsOwnTextsArePortugueseWhateverTheLocale) {
    // The file dialogs' labels and buttons, in a test run under any locale.
    QTranslator translator;
    ASSERT_TRUE(translateToolkit(translator)) << "Qt's Portuguese (Brazil) texts are missing";
    struct Removed {
        QTranslator& translator;
        ~Removed() { QCoreApplication::removeTranslator(&translator); }
    } removed{translator};
    for (const auto& [english, portuguese] :
         {std::pair{"Look in:", "Procurar em:"}, std::pair{"File &name:", "&Nome do arquivo:"},
          std::pair{"Save As", "Salvar como"}, std::pair{"&Open", "&Abrir"}}) {
        EXPECT_EQ(QCoreApplication::translate("QFileDialog", english).toStdString(), portuguese);
    }
}

TEST(Pictures, theDesktopsIconThemeFirstThenTheProjectsOwnDrawing) {
    // State: an icon theme that has "document-save" only.
    QTemporaryDir themes;
    QDir(themes.path()).mkpath(QStringLiteral("plain/24x24/actions"));
    QFile index(themes.filePath(QStringLiteral("plain/index.theme")));
    ASSERT_TRUE(index.open(QIODevice::WriteOnly));
    index.write("[Icon Theme]\nName=plain\nDirectories=24x24/actions\n\n"
                "[24x24/actions]\nSize=24\nType=Fixed\n");
    index.close();
    ASSERT_TRUE(
        QFile::copy(QStringLiteral(":/vantero/pictures/document-open.svg"),
                    themes.filePath(QStringLiteral("plain/24x24/actions/document-save.svg"))));
    struct Theme {
        QStringList paths = QIcon::themeSearchPaths();
        QString name = QIcon::themeName();
        ~Theme() {
            QIcon::setThemeSearchPaths(paths);
            QIcon::setThemeName(name);
        }
    } kept;
    QIcon::setThemeSearchPaths({themes.path()});
    QIcon::setThemeName(QStringLiteral("plain"));

    const QIcon themed = themedPicture({QStringLiteral("document-save")});
    EXPECT_EQ(themed.name(), "document-save");
    // A later name the theme has stands in for the first.
    EXPECT_EQ(
        themedPicture({QStringLiteral("media-floppy"), QStringLiteral("document-save")}).name(),
        "document-save");
    // None: the project's own drawing of the first name.
    const QIcon drawn =
        themedPicture({QStringLiteral("help-contents"), QStringLiteral("help-browser")});
    EXPECT_TRUE(drawn.name().isEmpty());
    EXPECT_FALSE(drawn.pixmap(24).isNull());
}

} // namespace
} // namespace vantero::ui
