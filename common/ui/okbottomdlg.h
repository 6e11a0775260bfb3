#pragma once

#include <QDialog>

#include <memory>

class QFrame;
class QPushButton;

namespace Ui {
class TOKBottomDlg;
}

namespace vantero::ui {

// The dialog template: a framed area with "OK" (the default button) and
// "Cancel" (Esc) along the bottom, caption "Dialog", centred on the screen.
// Dialogs built on it put their fields into the frame.
class TOKBottomDlg : public QDialog {
    Q_OBJECT

public:
    explicit TOKBottomDlg(QWidget* parent = nullptr);
    ~TOKBottomDlg() override;

    QFrame* Bevel1;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;

protected:
    // Moves the dialog to the centre of its screen.
    void centreOnScreen();

private:
    std::unique_ptr<Ui::TOKBottomDlg> m_ui;
};

} // namespace vantero::ui
