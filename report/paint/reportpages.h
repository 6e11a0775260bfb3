#pragma once

#include "report/designreport.h"

#include <QColor>
#include <QFont>
#include <QPainter>
#include <QPdfWriter>
#include <QString>

#include <array>
#include <functional>
#include <string>
#include <vector>

namespace vantero::report {

// The A4 pages of the reports (the design report of a link, the summary of a
// table of links) and the blocks they are made of: a running head, headings,
// paragraphs, notes and striped tables, each block on a new page when it does
// not fit. In points: the writer's resolution is 72 to the inch.

inline constexpr double pageWidth = 595.28;
inline constexpr double pageHeight = 841.89;
inline constexpr double marginX = 50;
inline constexpr double marginTop = 46;
inline constexpr double marginBottom = 50;
inline constexpr double contentWidth = pageWidth - 2 * marginX;

// The fonts of the pages: DejaVu Sans, and DejaVu Sans Mono for numbers.
QFont sans(double points, bool bold = false);
QFont mono(double points, bool bold = false);

// The colours of the pages' text and rules.
QColor inkOfPages();
QColor mutedInk();
QColor accentInk();
QColor alarmInk();

class ReportPages {
public:
    // Each page says `head` at its top left, `date` at its top right and its
    // number at its foot; `painter` paints on `writer`.
    ReportPages(QPdfWriter& writer, QPainter& painter, const QString& head, const QString& date);

    QPainter& painter() { return m_painter; }
    double y() const { return m_y; }
    void advance(double height) { m_y += height; }
    // The room left on the page below the current position.
    double roomLeft() const { return pageHeight - marginBottom - m_y; }

    // Starts a new page unless `height` fits below the current position.
    // Throws std::bad_alloc when the writer cannot start a page.
    void makeRoom(double height);
    void newPage();

    // A line of text across the content, wrapped (between words, or for an
    // address anywhere); gives its height.
    double paragraph(const QString& line, const QFont& font, const QColor& colour,
                     double indent = 0, Qt::TextFlag wrap = Qt::TextWordWrap);
    // The same, on a new page unless it fits below the current position.
    double paragraphWhole(const QString& line, const QFont& font, const QColor& colour,
                          double indent = 0, Qt::TextFlag wrap = Qt::TextWordWrap);
    void heading(const QString& title);
    void subheading(const QString& title);
    void note(const QString& line);

private:
    void startPage();

    QPdfWriter& m_writer;
    QString m_head;
    QString m_date;
    QPainter& m_painter;
    double m_y = marginTop;
    int m_page = 0;
};

// A report's PDF file: A4 pages at 72 points to the inch, with `title` in the
// file's description, each page headed by `head` and `date`, and what `paint`
// puts on them. Throws std::bad_alloc, before anything is painted, when the
// memory a PDF needs cannot be had (report/paint/headroom.h), or when a page
// cannot be made or written.
std::string reportPdf(const QString& title, const QString& head, const QString& date,
                      const std::function<void(ReportPages&)>& paint);

// One row of a table of three columns: its cells, and how it stands out.
struct TableRow {
    std::array<QString, 3> cells;
    bool bold = false;
    bool words = false; // the value is words, not a number
};

// A table of three columns (label, value right-aligned, numbers in a
// fixed-width font, unit), striped, the label wrapped when long.
void table(ReportPages& pages, const std::vector<TableRow>& rows,
           std::array<double, 3> widths = {300, 115, 80});

// The inputs of a link by page of the window: a subheading and a table each,
// the label followed by the catalogue part that gave the input's text.
void inputTables(ReportPages& pages, const std::vector<ReportInputPage>& inputPages);

// A column of a grid: its width, its heading, whether its cells are numbers
// (right-aligned, in the fixed-width font) and whether a long cell is cut
// short ("...") rather than wrapped.
struct GridColumn {
    double width = 0;
    QString heading;
    bool number = false;
    bool cut = false;
};

// A table of any columns under a row of their headings (in bold, wrapped),
// striped; on a new page the headings come again.
void grid(ReportPages& pages, const std::vector<GridColumn>& columns,
          const std::vector<std::vector<QString>>& rows);

} // namespace vantero::report
