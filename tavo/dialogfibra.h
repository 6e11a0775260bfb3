#pragma once

#include "common/ui/formfibradlg.h"

namespace vantero::tavo {

// The point-to-point program's multimode fibre dialog: the shared dialog,
// built on the OK/Cancel dialog template, holding the normalised optical
// bandwidth of multimode fibre.
class TDialogFibra final : public ui::TFormFibraDlg {
    Q_OBJECT

public:
    explicit TDialogFibra(QWidget* parent = nullptr);
};

} // namespace vantero::tavo
