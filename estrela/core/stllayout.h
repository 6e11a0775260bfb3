#pragma once

#include "common/projectfile.h"

namespace vantero::estrela {

// The ".stl" project file: the 10 numeric fields of the window, then the
// line code, the block code and the fibre type; 13 records, 78 bytes.
extern const ProjectLayout stlLayout;

} // namespace vantero::estrela
