#include "common/ui/networkform.h"

#include "common/ui/choicelist.h"
#include "common/ui/formfibradlg.h"

#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>

namespace vantero::ui {

NetworkForm::NetworkForm(Platform& platform, const Calculator& calculator, QWidget* parent)
    : CalculatorForm(platform, calculator, parent) {}

NetworkForm::~NetworkForm() = default;

void NetworkForm::finishNetworkSetUp(QSize clientArea) {
    m_fibreTypes = component<QGroupBox>("RadioGroup1");
    m_fibreDialogButton = component<QPushButton>("Button1");
    connect(m_fibreDialogButton, &QPushButton::clicked, this,
            guard().slot(this, &NetworkForm::Button1Click));
    // The fibre type's action runs once for every change of the selection,
    // by a click or by opening a file: when an item becomes checked.
    for (QRadioButton* item : groupButtons(m_fibreTypes)) {
        connect(item, &QRadioButton::toggled, this, [this](bool checked) {
            if (checked) {
                guard().run([this] { RadioGroup1Click(); });
            }
        });
    }
    finishSetUp({clientArea, {QStringLiteral("Edit15"), QStringLiteral("Edit16")}, QString()});
    FormFibraDlg = fibreDialog();
}

void NetworkForm::RadioGroup1Click() {
    // An open dialog stays open; the budget reads it for multimode fibre only.
    m_fibreDialogButton->setEnabled(checkedItem(m_fibreTypes) ==
                                    static_cast<int>(FibreType::Multimode));
}

void NetworkForm::Button1Click() {
    showFibreDialog();
}

} // namespace vantero::ui
