#pragma once

#include "report/designreport.h"

#include <string>

namespace vantero::report {

// Lays out and paints the design report on A4 pages and gives the bytes of
// its PDF file: vector drawing with selectable text, the DejaVu fonts
// embedded. Page 1: the caption, the project file and the date, the inputs by
// page of the window and the results as the window shows them; page 2: both
// budgets at the maximum distance, each as a table and a chart; page 3: the
// maximum distance against the bit rate and both margins against the length.
// A run that faulted has page 1 only. The caller owns the Qt Gui
// application; the charts' arithmetic is report/reportcharts.h.
std::string drawDesignReport(const DesignReport& report);

} // namespace vantero::report
