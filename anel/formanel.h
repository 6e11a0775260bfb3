#pragma once

#include "anel/core/ringlink.h"
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

    // The input record from the window as it stands.
    RingLinkInput currentInput() const;

private:
    void calculate() override;

    std::unique_ptr<Ui::TFormAnel> m_ui;
};

} // namespace vantero::anel
