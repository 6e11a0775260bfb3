#include "estrela/formestrela.h"

#include "estrela/core/stllayout.h"
#include "ui_formestrela.h"

namespace vantero::estrela {

TFormEstrela::TFormEstrela(ui::Platform& platform, QWidget* parent)
    : NetworkForm(platform, stlLayout, std::span<const InputField<StarLinkInput>>(starLinkInputs),
                  parent),
      m_ui(std::make_unique<Ui::TFormEstrela>()) {
    m_ui->setupUi(this);
    finishSetUp(QSize(720, 426));
}

TFormEstrela::~TFormEstrela() = default;

StarLinkInput TFormEstrela::currentInput() const {
    return windowInput<StarLinkInput>(starLinkInputs);
}

void TFormEstrela::calculate() {
    ui::applyOutputs<StarLinkResult>(this, platform(), calculateStarLink(currentInput()),
                                     starLinkResults);
}

} // namespace vantero::estrela
