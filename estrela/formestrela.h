#pragma once

#include "common/ui/networkform.h"

#include <memory>

namespace Ui {
class TFormEstrela;
}

namespace vantero::estrela {

// The passive star program's main window: the network's figures on four
// pages, OK to run the star budget, the two distances and the verdict on the
// panel at the right, the ".stl" project file behind the menu and the toolbar.
class TFormEstrela final : public ui::NetworkForm {
    Q_OBJECT

public:
    explicit TFormEstrela(ui::Platform& platform, QWidget* parent = nullptr);
    ~TFormEstrela() override;

private:
    std::unique_ptr<Ui::TFormEstrela> m_ui;
};

// The program's main window, for the tools that show every calculator.
std::unique_ptr<ui::CalculatorForm> createForm(ui::Platform& platform);

} // namespace vantero::estrela
