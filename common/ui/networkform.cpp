#include "common/ui/networkform.h"

#include "common/ui/choicelist.h"
#include "common/ui/keyboard.h"
#include "common/ui/mainwindow.h"
#include "common/ui/platform.h"

#include <QAction>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

namespace vantero::ui {

NetworkForm::~NetworkForm() = default;

template <typename Widget> Widget* NetworkForm::component(const char* name) const {
    auto* found = findChild<Widget*>(QString::fromLatin1(name));
    Q_ASSERT_X(found != nullptr, "NetworkForm", name);
    return found;
}

void NetworkForm::finishSetUp(QSize clientArea) {
    frameMainWindow(this, clientArea);
    m_lineCodes = component<QGroupBox>("RadioGroup2");
    m_blockCodes = component<QGroupBox>("RadioGroup3");
    m_fibreTypes = component<QGroupBox>("RadioGroup1");
    m_comparison = component<QGroupBox>("GroupBox1");
    m_powerDistance = component<QLineEdit>("Edit15");
    m_riseTimeDistance = component<QLineEdit>("Edit16");
    m_abort = component<QPushButton>("BitBtn2");
    m_fibreDialogButton = component<QPushButton>("Button1");
    auto* ok = component<QPushButton>("BitBtn1");

    const auto& g = m_guard;
    connect(ok, &QPushButton::clicked, this, g.slot(this, &NetworkForm::BitBtn1Click));
    connect(m_abort, &QPushButton::clicked, this, g.slot(this, &NetworkForm::BitBtn2Click));
    connect(m_fibreDialogButton, &QPushButton::clicked, this,
            g.slot(this, &NetworkForm::Button1Click));
    // The fibre type's action runs once for every change of the selection,
    // by a click or by opening a file: when an item becomes checked.
    for (QRadioButton* item : groupButtons(m_fibreTypes)) {
        connect(item, &QRadioButton::toggled, this, [this](bool checked) {
            if (checked) {
                m_guard.run([this] { RadioGroup1Click(); });
            }
        });
    }
    connect(component<QAction>("Abrir1"), &QAction::triggered, this,
            g.slot(this, &NetworkForm::Abrir1Click));
    connect(component<QToolButton>("SpeedButton1"), &QToolButton::clicked, this,
            g.slot(this, &NetworkForm::Abrir1Click));
    connect(component<QAction>("Salvar1"), &QAction::triggered, this,
            g.slot(this, &NetworkForm::Salvar1Click));
    connect(component<QToolButton>("SpeedButton2"), &QToolButton::clicked, this,
            g.slot(this, &NetworkForm::Salvar1Click));
    connect(component<QAction>("SalvarComo1"), &QAction::triggered, this,
            g.slot(this, &NetworkForm::SalvarComo1Click));

    new EnterRunsDefault(centralWidget(), ok);
    nameForAssistiveTechnology(this);
    FormCreate();
    centreOnScreen(this);
}

void NetworkForm::useFibreDialog(TFormFibraDlg* dialog) {
    FormFibraDlg = dialog;
    nameForAssistiveTechnology(dialog);
}

QLineEdit* NetworkForm::fibreField() const {
    return FormFibraDlg != nullptr ? FormFibraDlg->Edit1 : nullptr;
}

void NetworkForm::FormCreate() {
    ProjectFileName.clear();
}

void NetworkForm::BitBtn1Click() {
    m_comparison->show();
    m_powerDistance->clear();
    m_riseTimeDistance->clear();
    m_abort->setText(QStringLiteral("&Sair"));
    calculate();
}

void NetworkForm::BitBtn2Click() {
    m_platform.endApplication();
}

void NetworkForm::RadioGroup1Click() {
    // An open dialog stays open; the budget reads it for multimode fibre only.
    m_fibreDialogButton->setEnabled(checkedItem(m_fibreTypes) ==
                                    static_cast<int>(FibreType::Multimode));
}

void NetworkForm::Button1Click() {
    FormFibraDlg->showModeless();
}

void NetworkForm::Abrir1Click() {
    m_files.open();
}

void NetworkForm::Salvar1Click() {
    m_files.save();
}

void NetworkForm::SalvarComo1Click() {
    m_files.saveAs();
}

} // namespace vantero::ui
