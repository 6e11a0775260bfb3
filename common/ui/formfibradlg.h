#pragma once

#include "common/ui/okbottomdlg.h"

#include <memory>

class QCloseEvent;
class QLabel;
class QLineEdit;
class QPushButton;

namespace Ui {
class TFormFibraDlgContent;
}

namespace vantero::ui {

// The multimode fibre dialog: holds the normalised optical bandwidth of
// multimode fibre between calculations. Edit1 is the value being typed, which
// the calculation reads even before OK; Edit2, never seen, keeps the value
// last confirmed with OK, which Cancel brings back. Modeless, on top of the
// other windows, closed only with OK or Cancel.
class TFormFibraDlg : public TOKBottomDlg {
    Q_OBJECT

public:
    explicit TFormFibraDlg(QWidget* parent = nullptr);
    ~TFormFibraDlg() override;

    QLabel* Label1;
    QLineEdit* Edit1;
    QLineEdit* Edit2;
    QPushButton* HelpBtn;

    // Shows the dialog, modeless and centred; changes neither field.
    void showModeless();

public slots:
    void FormCreate();
    void OKBtnClick();
    void CancelBtnClick();

protected:
    // Esc and a close request from the desktop count as Cancel.
    void reject() override;
    void closeEvent(QCloseEvent* event) override;

private:
    std::unique_ptr<Ui::TFormFibraDlgContent> m_content;
};

} // namespace vantero::ui
