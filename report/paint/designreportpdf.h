#pragma once

#include "report/designreport.h"

#include <string>

namespace vantero::report {

// Lays out and paints the design report on A4 pages and gives the bytes of
// its PDF file: vector drawing with selectable text, the DejaVu fonts
// embedded. Page 1: the caption, the project file and the date, the inputs by
// page of the window and the results as the window shows them; for a link
// given parts of the catalogue, from a new page, the parts, what each set and
// from which figures, and the sources of those figures; then a page with both
// budgets at the maximum distance, each as a table and a chart, and one with
// the maximum distance against the bit rate and both margins against the
// length; for a link given trials, a last page with the spreads, how often
// each budget was met at each length beside the link's own verdict, and the
// histograms of the maximum distance and of the power margins. A run that
// faulted has no budgets or charts. The caller owns the Qt
// Gui application; the charts' arithmetic is report/reportcharts.h.
std::string drawDesignReport(const DesignReport& report);

} // namespace vantero::report
