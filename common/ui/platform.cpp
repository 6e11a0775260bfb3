#include "common/ui/platform.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

namespace vantero::ui {
namespace {

void showBox(QWidget* parent, QMessageBox::Icon icon, const QString& caption, const QString& text) {
    const std::unique_ptr<QMessageBox> box = messageBox(parent, icon, caption, text);
    box->exec();
}

std::optional<QString> ask(QWidget* parent, QFileDialog::AcceptMode mode) {
    QFileDialog dialog(ownerOfBoxes(parent));
    keepAboveTheProgram(&dialog);
    dialog.setAcceptMode(mode);
    if (mode == QFileDialog::AcceptOpen) {
        dialog.setFileMode(QFileDialog::ExistingFile);
    } else {
        // No overwrite question: saving replaces the project file, as the
        // user asked by choosing its name.
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    const QString path = dialog.selectedFiles().constFirst();
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

QWidget* ownerOfBoxes(QWidget* parent) {
    return parent != nullptr ? parent->window() : QApplication::activeWindow();
}

void keepAboveTheProgram(QWidget* box) {
    box->setWindowFlag(Qt::WindowStaysOnTopHint, true);
    box->setWindowModality(Qt::ApplicationModal);
}

std::unique_ptr<QMessageBox> messageBox(QWidget* parent, QMessageBox::Icon icon,
                                        const QString& caption, const QString& text) {
    auto box =
        std::make_unique<QMessageBox>(icon, caption, text, QMessageBox::Ok, ownerOfBoxes(parent));
    keepAboveTheProgram(box.get());
    return box;
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
    return ask(parent, QFileDialog::AcceptOpen);
}

std::optional<QString> QtPlatform::askSaveFileName(QWidget* parent) {
    return ask(parent, QFileDialog::AcceptSave);
}

void QtPlatform::endApplication() {
    QCoreApplication::quit();
}

} // namespace vantero::ui
