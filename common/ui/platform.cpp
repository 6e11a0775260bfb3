#include "common/ui/platform.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

namespace vantero::ui {
namespace {

void showBox(QWidget* parent, QMessageBox::Icon icon, const QString& caption, const QString& text) {
    QMessageBox box(icon, caption, text, QMessageBox::Ok, parent);
    box.exec();
}

std::optional<QString> chosen(const QString& path) {
    if (path.isEmpty()) {
        return std::nullopt;
    }
    return path;
}

} // namespace

QString applicationTitle() {
    const QString name = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    return name.left(1) + name.mid(1).toLower();
}

void QtPlatform::showFailure(QWidget* parent, const QString& text) {
    showBox(parent, QMessageBox::Critical, applicationTitle(), text + QLatin1Char('.'));
}

void QtPlatform::showError(QWidget* parent, const QString& text) {
    showBox(parent, QMessageBox::Critical, QStringLiteral("Error"), text);
}

void QtPlatform::showWarning(QWidget* parent, const QString& text) {
    showBox(parent, QMessageBox::Warning, QStringLiteral("Warning"), text);
}

std::optional<QString> QtPlatform::askOpenFileName(QWidget* parent) {
    return chosen(QFileDialog::getOpenFileName(parent));
}

std::optional<QString> QtPlatform::askSaveFileName(QWidget* parent) {
    // No overwrite question: saving replaces the project file, as the user
    // asked by choosing its name.
    return chosen(QFileDialog::getSaveFileName(parent, {}, {}, {}, nullptr,
                                               QFileDialog::DontConfirmOverwrite));
}

void QtPlatform::endApplication() {
    QCoreApplication::quit();
}

} // namespace vantero::ui
