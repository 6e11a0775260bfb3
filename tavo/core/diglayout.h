#pragma once

#include "common/projectfile.h"

namespace vantero::tavo {

// The ".dig" project file: the 16 numeric fields of the window, then the line
// code, the light source, the photodetector, the BER and the fibre type; 21
// records, 126 bytes.
extern const ProjectLayout digLayout;

} // namespace vantero::tavo
