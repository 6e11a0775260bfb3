#include "common/ui/formfibradlg.h"

#include "ui_formfibradlg.h"

#include <QCloseEvent>
#include <QPushButton>

namespace vantero::ui {

TFormFibraDlg::TFormFibraDlg(QWidget* parent)
    : TOKBottomDlg(parent), m_content(std::make_unique<Ui::TFormFibraDlgContent>()) {
    setObjectName(QStringLiteral("FormFibraDlg"));
    auto* content = new QWidget(Bevel1);
    m_content->setupUi(content);
    Label1 = m_content->Label1;
    Edit1 = m_content->Edit1;
    Edit2 = m_content->Edit2;

    HelpBtn = new QPushButton(QStringLiteral("&Help"), this);
    HelpBtn->setObjectName(QStringLiteral("HelpBtn"));
    HelpBtn->setAutoDefault(false);
    HelpBtn->setGeometry(199, 120, 75, 25);

    setWindowTitle(QStringLiteral("Fibra Multimodo"));
    // No buttons in the title bar, always on top.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowStaysOnTopHint);
    setModal(false);
    // The dialog never keeps the program running once the main window closes.
    setAttribute(Qt::WA_QuitOnClose, false);

    connect(OKBtn, &QPushButton::clicked, this, &TFormFibraDlg::OKBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &TFormFibraDlg::CancelBtnClick);
    FormCreate();
}

TFormFibraDlg::~TFormFibraDlg() = default;

void TFormFibraDlg::showModeless() {
    show();
    centreOnScreen();
    raise();
    activateWindow();
}

void TFormFibraDlg::FormCreate() {
    Edit2->setText(QStringLiteral("100"));
}

void TFormFibraDlg::OKBtnClick() {
    Edit2->setText(Edit1->text());
    hide();
}

void TFormFibraDlg::CancelBtnClick() {
    Edit1->setText(Edit2->text());
    hide();
}

void TFormFibraDlg::reject() {
    CancelBtnClick();
}

void TFormFibraDlg::closeEvent(QCloseEvent* event) {
    event->ignore();
    CancelBtnClick();
}

} // namespace vantero::ui
