#pragma once

#include "common/ui/networkform.h"
#include "estrela/core/starlink.h"

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

    // The input record from the window as it stands.
    StarLinkInput currentInput() const;

private:
    void calculate() override;

    std::unique_ptr<Ui::TFormEstrela> m_ui;
};

} // namespace vantero::estrela
