#include "tavo/dialogfibra.h"

namespace vantero::tavo {

TDialogFibra::TDialogFibra(QWidget* parent) : TFormFibraDlg(parent) {
    setObjectName(QStringLiteral("DialogFibra"));
}

} // namespace vantero::tavo
