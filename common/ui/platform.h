#pragma once

#include <QString>

#include <optional>

class QWidget;

namespace vantero::ui {

// What a save dialog offers: the kind of file it lists (a filter such as
// "Relatório PDF (*.pdf)"; every file when empty) and the name it proposes
// (none when empty; a bare name stands in the dialog's folder).
struct SaveOffer {
    QString filter;
    QString proposedName;
};

// Everything of the desktop that a window needs and a test must not see for
// real: the message boxes, the file dialogs and ending the program. The
// programs use QtPlatform; the tests a RecordingPlatform.
class Platform {
public:
    virtual ~Platform() = default;

    // The application's error box for a failure: its text and a full stop,
    // an error icon, one OK button, the application title as caption.
    virtual void showFailure(QWidget* parent, const QString& text) = 0;
    // A message of the error kind (caption "Error") or the warning kind
    // (caption "Warning"), with one OK button.
    virtual void showError(QWidget* parent, const QString& text) = 0;
    virtual void showWarning(QWidget* parent, const QString& text) = 0;
    // The open and save file dialogs: the chosen full path, or nothing when
    // the user cancels.
    virtual std::optional<QString> askOpenFileName(QWidget* parent) = 0;
    virtual std::optional<QString> askSaveFileName(QWidget* parent, const SaveOffer& offer) = 0;
    // Ends the program at once, without a question.
    virtual void endApplication() = 0;
};

// The application title of the boxes: the program's file name without its
// extension, the first letter unchanged and the rest in lower case.
QString applicationTitle();

// The programs' boxes and file dialogs come up above every other window of the
// program, the always-on-top multimode fibre dialog included, and block them
// all until they are dismissed.
class QtPlatform final : public Platform {
public:
    void showFailure(QWidget* parent, const QString& text) override;
    void showError(QWidget* parent, const QString& text) override;
    void showWarning(QWidget* parent, const QString& text) override;
    std::optional<QString> askOpenFileName(QWidget* parent) override;
    std::optional<QString> askSaveFileName(QWidget* parent, const SaveOffer& offer) override;
    void endApplication() override;
};

} // namespace vantero::ui
