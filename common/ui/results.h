#pragma once

#include "common/calculator.h"

class QLabel;
class QWidget;

namespace vantero::ui {

class Platform;

// Names a label, and the field it stands for, after its caption, for
// assistive technology; called again whenever the caption changes.
void nameByCaption(QLabel* label);

// Writes the outputs of a calculation run into the window in the order the
// run set them: a number or text into its field or label (found in
// `fields`), a message in an error box (waiting there until it is
// dismissed). The failure that ended the run is the caller's to show, last.
void writeOutputs(QWidget* fields, Platform& platform, const RunReport& report);

// Gives every widget of a window a name for assistive technology and outside
// test drivers: a label by its caption, a field by the label that stands for
// it, any other widget by its caption, else by its component name.
void nameForAssistiveTechnology(QWidget* window);

} // namespace vantero::ui
