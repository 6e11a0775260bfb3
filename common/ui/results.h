#pragma once

#include "common/calculator/calculator.h"

class QWidget;

namespace vantero::ui {

class Platform;

// Writes the outputs of a calculation run into the window in the order the
// run set them: a number or text into its field or label (found in
// `fields`), a message in an error box (waiting there until it is
// dismissed). The failure that ended the run is the caller's to show, last.
void writeOutputs(QWidget* fields, Platform& platform, const RunReport& report);

// Names for assistive technology and outside test drivers. The toolkit names
// most widgets by what the screen shows, and keeps the names current as the
// captions change: a window by its title, a label, button or group by its
// caption, a field by the label whose buddy it is.
//
// Names every drop-down list of the program by the label whose buddy it is or
// by the group it stands in, not by the item it shows. Call before the lists
// are made.
void nameListsByTheirLabels();
// Names the widgets of `window` that the toolkit leaves unnamed or names on
// several lines: a picture button by its tooltip, a notebook page by its tab,
// a label on two lines and its field by the label's caption on one (a name
// is one line), and any other widget that nothing visible names by its
// component name.
void nameForAssistiveTechnology(QWidget* window);

} // namespace vantero::ui
