#pragma once

#include "common/ui/calculatorform.h"

#include <memory>

namespace Ui {
class TFormTAVO;
}

namespace vantero::ui {
class ChoiceList;
} // namespace vantero::ui

namespace vantero::tavo {

class TDialogFibra;

// The point-to-point program's main window: the link's figures on four
// pages, OK (or "A&juda") to run the budget, the results on the panel at the
// right, the project file behind the menu and the toolbar. The photodetector
// and BER lists keep the sensitivity field in step.
class TFormTAVO final : public ui::CalculatorForm {
    Q_OBJECT

public:
    explicit TFormTAVO(ui::Platform& platform, QWidget* parent = nullptr);
    ~TFormTAVO() override;

    // The multimode fibre dialog.
    TDialogFibra* DialogFibra = nullptr;

public slots:
    void FormCreate() override;
    void Button2Click();
    void ComboBox3Change();
    void ComboBox1Change();
    void Edit9KeyPress();

private:
    ui::TFormFibraDlg* createFibreDialog() override;
    // Shows the zero-dispersion rows for the 1300 nm photodetector, the
    // chromatic-dispersion row for any other state.
    void applyDispersionRows();
    double convertBitRate() const;
    void writeSensitivity(double sensitivity);

    std::unique_ptr<Ui::TFormTAVO> m_ui;
    ui::ChoiceList* m_lineCodes;
    ui::ChoiceList* m_detectors;
    ui::ChoiceList* m_bers;
};

// The program's main window, for the tools that show every calculator.
std::unique_ptr<ui::CalculatorForm> createForm(ui::Platform& platform);

} // namespace vantero::tavo
