#pragma once

#include "common/ui/calculatorform.h"

#include <memory>
#include <string_view>
#include <vector>

namespace vantero::tools {

// The main window of every calculator, for the tools that show them all.
// Each calculator NAME offers `createForm` in NAME/formNAME.h (library
// NAME_window).
struct CalculatorWindow {
    std::string_view name;
    std::unique_ptr<ui::CalculatorForm> (*create)(ui::Platform& platform);
};

std::vector<CalculatorWindow> calculatorWindows();

} // namespace vantero::tools
