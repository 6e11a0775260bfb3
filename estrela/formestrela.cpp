#include "estrela/formestrela.h"

#include "estrela/core/description.h"
#include "ui_formestrela.h"

namespace vantero::estrela {

TFormEstrela::TFormEstrela(ui::Platform& platform, QWidget* parent)
    : NetworkForm(platform, estrela::calculator(), parent),
      m_ui(std::make_unique<Ui::TFormEstrela>()) {
    m_ui->setupUi(this);
    finishNetworkSetUp(QSize(720, 426));
}

TFormEstrela::~TFormEstrela() = default;

std::unique_ptr<ui::CalculatorForm> createForm(ui::Platform& platform) {
    return std::make_unique<TFormEstrela>(platform);
}

} // namespace vantero::estrela
