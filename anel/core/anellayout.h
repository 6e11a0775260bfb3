#pragma once

#include "common/projectfile.h"

namespace vantero::anel {

// The ".anel" project file: the 13 numeric fields of the window, then the
// line code, the block code and the fibre type; 16 records, 96 bytes.
extern const ProjectLayout anelLayout;

} // namespace vantero::anel
