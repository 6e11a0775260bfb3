#include "common/ui/platform.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

namespace vantero::ui {
namespace {

// The window that owns a box raised from `parent`: its top-level window, the
// program's active window when there is no parent.
QWidget* ownerOfBoxes(QWidget* parent) {
    return parent != nullptr ? parent->window() : QApplication::activeWindow();
}

// On top of every window, the always-on-top dialog included, and blocking
// them all.
void keepAboveTheProgram(QWidget* box) {
    box->setWindowFlag(Qt::WindowStaysOnTopHint, true);
    box->setWindowModality(Qt::ApplicationModal);
}

void showBox(QWidget* parent, QMessageBox::Icon icon, const QString& caption, const QString& text) {
    QMessageBox box(icon, caption, text, QMessageBox::Ok, ownerOfBoxes(parent));
    keepAboveTheProgram(&box);
    box.exec();
}

std::optional<QString> ask(QWidget* parent, QFileDialog::AcceptMode mode,
                           const SaveOffer& offer = {}) {
    QFileDialog dialog(ownerOfBoxes(parent));
    keepAboveTheProgram(&dialog);
    dialog.setAcceptMode(mode);
    if (mode == QFileDialog::AcceptOpen) {
        dialog.setFileMode(QFileDialog::ExistingFile);
    } else {
        // No overwrite question: saving replaces the project file, as the
        // user asked by choosing its name.
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
        if (!offer.filter.isEmpty()) {
            dialog.setNameFilter(offer.filter);
        }
        if (!offer.proposedName.isEmpty()) {
            dialog.selectFile(offer.proposedName);
        }
    }
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty() || chosen.constFirst().isEmpty()) {
        return std::nullopt;
    }
    return chosen.constFirst();
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
    return ask(parent, QFileDialog::AcceptOpen);
}

std::optional<QString> QtPlatform::askSaveFileName(QWidget* parent, const SaveOffer& offer) {
    return ask(parent, QFileDialog::AcceptSave, offer);
}

void QtPlatform::endApplication() {
    QCoreApplication::quit();
}

} // namespace vantero::ui
