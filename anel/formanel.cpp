#include "anel/formanel.h"

#include "anel/core/description.h"
#include "ui_formanel.h"

namespace vantero::anel {

TFormAnel::TFormAnel(ui::Platform& platform, QWidget* parent)
    : NetworkForm(platform, anel::calculator(), parent), m_ui(std::make_unique<Ui::TFormAnel>()) {
    m_ui->setupUi(this);
    finishNetworkSetUp(QSize(718, 421));
}

TFormAnel::~TFormAnel() = default;

std::unique_ptr<ui::CalculatorForm> createForm(ui::Platform& platform) {
    return std::make_unique<TFormAnel>(platform);
}

} // namespace vantero::anel
