#include "anel/formanel.h"

#include "anel/core/anellayout.h"
#include "ui_formanel.h"

namespace vantero::anel {

TFormAnel::TFormAnel(ui::Platform& platform, QWidget* parent)
    : NetworkForm(platform, anelLayout, std::span<const InputField<RingLinkInput>>(ringLinkInputs),
                  parent),
      m_ui(std::make_unique<Ui::TFormAnel>()) {
    m_ui->setupUi(this);
    finishSetUp(QSize(718, 421));
}

TFormAnel::~TFormAnel() = default;

RingLinkInput TFormAnel::currentInput() const {
    return windowInput<RingLinkInput>(ringLinkInputs);
}

void TFormAnel::calculate() {
    ui::applyOutputs<RingLinkResult>(this, platform(), calculateRingLink(currentInput()),
                                     ringLinkResults);
}

} // namespace vantero::anel
