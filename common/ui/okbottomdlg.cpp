#include "common/ui/okbottomdlg.h"

#include "common/ui/mainwindow.h"
#include "ui_okbottomdlg.h"

namespace vantero::ui {

TOKBottomDlg::TOKBottomDlg(QWidget* parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::TOKBottomDlg>()) {
    m_ui->setupUi(this);
    Bevel1 = m_ui->Bevel1;
    OKBtn = m_ui->OKBtn;
    CancelBtn = m_ui->CancelBtn;
    setFixedSize(size());
}

TOKBottomDlg::~TOKBottomDlg() = default;

void TOKBottomDlg::centreOnScreen() {
    ui::centreOnScreen(this);
}

} // namespace vantero::ui
