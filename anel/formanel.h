#pragma once

#include "common/ui/networkform.h"

#include <memory>

namespace Ui {
class TFormAnel;
}

namespace vantero::anel {

// The ring program's main window: the ring's figures on four pages, OK to run
// the ring budget, the two distances and the verdict on the panel at the
// right, the ".anel" project file behind the menu and the toolbar.
class TFormAnel final : public ui::NetworkForm {
    Q_OBJECT

public:
    explicit TFormAnel(ui::Platform& platform, QWidget* parent = nullptr);
    ~TFormAnel() override;

private:
    std::unique_ptr<Ui::TFormAnel> m_ui;
};

// The program's main window, for the tools that show every calculator.
std::unique_ptr<ui::CalculatorForm> createForm(ui::Platform& platform);

} // namespace vantero::anel
