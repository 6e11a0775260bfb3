#pragma once

#include "report/linksreport.h"

#include <string>

namespace vantero::report {

// Lays out and paints the summary report of a table of links on A4 pages,
// on the pages of the design report (report/paint/reportpages.h), and gives
// the bytes of its PDF file: vector drawing with selectable text, the DejaVu
// fonts embedded. Page 1: the calculator, the table and the date, how many
// links meet both budgets, fail one, fault or are in error, and how each
// margin is spread (histograms); then the links that fail each budget, the
// worst margin first, and the figures every link starts from. The caller
// owns the Qt Gui application; the charts' arithmetic is
// report/linksreport.h.
std::string drawLinksReport(const LinksReport& report);

} // namespace vantero::report
