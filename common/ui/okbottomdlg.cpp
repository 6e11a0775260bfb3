#include "common/ui/okbottomdlg.h"

#include "ui_okbottomdlg.h"

#include <QScreen>

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
    if (const QScreen* screen = this->screen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

} // namespace vantero::ui
