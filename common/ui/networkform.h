#pragma once

#include "common/ui/calculatorform.h"

#include <QSize>

class QGroupBox;
class QPushButton;

namespace vantero::ui {

class TFormFibraDlg;

// What the passive star and the ring main windows add to the shared frame:
// the line code (RadioGroup2), the block code (RadioGroup3) and the fibre
// type (RadioGroup1) are radio groups; OK writes the two distances (Edit15,
// Edit16) and the verdict (GroupBox1); "..." (Button1) shows the multimode
// fibre dialog while "Fibra Multimodo" is selected.
class NetworkForm : public CalculatorForm {
    Q_OBJECT

public:
    ~NetworkForm() override;

    // The multimode fibre dialog.
    TFormFibraDlg* FormFibraDlg = nullptr;

public slots:
    void RadioGroup1Click();
    void Button1Click();

protected:
    NetworkForm(Platform& platform, const Calculator& calculator, QWidget* parent);

    // Once the components exist: the network's own handlers, then the shared
    // set-up around a client area of `clientArea`.
    void finishNetworkSetUp(QSize clientArea);

private:
    QGroupBox* m_fibreTypes = nullptr;
    QPushButton* m_fibreDialogButton = nullptr;
};

} // namespace vantero::ui
