#include "report/paint/reportpages.h"

#include "report/look.h"
#include "report/paint/chartpainter.h"
#include "report/paint/headroom.h"
#include "report/paint/paintedfile.h"

#include <QBuffer>
#include <QByteArray>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>

#include <algorithm>
#include <new>

namespace vantero::report {
namespace {

const QColor stripe(243, 245, 248);

constexpr double cellPadding = 6;

} // namespace

QFont sans(double points, bool bold) {
    return deviceFont(QStringLiteral("DejaVu Sans"), points, bold, 72);
}

QFont mono(double points, bool bold) {
    return deviceFont(QStringLiteral("DejaVu Sans Mono"), points, bold, 72);
}

QColor inkOfPages() {
    return colour(inkColour(Ink::Text));
}

QColor mutedInk() {
    return colour(inkColour(Ink::Muted));
}

QColor accentInk() {
    return {31, 84, 140};
}

QColor alarmInk() {
    return colour(barColour(BarKind::MarginShort));
}

ReportPages::ReportPages(QPdfWriter& writer, QPainter& painter, const QString& head,
                         const QString& date)
    : m_writer(writer), m_head(head), m_date(date), m_painter(painter) {
    m_painter.setRenderHint(QPainter::Antialiasing);
    m_painter.setRenderHint(QPainter::TextAntialiasing);
    startPage();
}

void ReportPages::makeRoom(double height) {
    if (m_y + height > pageHeight - marginBottom) {
        newPage();
    }
}

void ReportPages::newPage() {
    if (!m_writer.newPage()) {
        throw std::bad_alloc();
    }
    startPage();
}

double ReportPages::paragraph(const QString& line, const QFont& font, const QColor& colour,
                              double indent, Qt::TextFlag wrap) {
    m_painter.setFont(font);
    m_painter.setPen(colour);
    const QRectF area(marginX + indent, m_y, contentWidth - indent, pageHeight);
    const QRectF used = m_painter.boundingRect(area, Qt::AlignLeft | Qt::AlignTop | wrap, line);
    m_painter.drawText(area, Qt::AlignLeft | Qt::AlignTop | wrap, line);
    m_y += used.height();
    return used.height();
}

double ReportPages::paragraphWhole(const QString& line, const QFont& font, const QColor& colour,
                                   double indent, Qt::TextFlag wrap) {
    m_painter.setFont(font);
    const QRectF area(marginX + indent, 0, contentWidth - indent, pageHeight);
    makeRoom(m_painter.boundingRect(area, Qt::AlignLeft | Qt::AlignTop | wrap, line).height());
    return paragraph(line, font, colour, indent, wrap);
}

void ReportPages::heading(const QString& title) {
    makeRoom(60);
    m_y += 8;
    paragraph(title, sans(12.5, true), accentInk());
    m_y += 2;
    m_painter.setPen(QPen(accentInk(), 0.8));
    m_painter.drawLine(QPointF(marginX, m_y), QPointF(marginX + contentWidth, m_y));
    m_y += 7;
}

void ReportPages::subheading(const QString& title) {
    makeRoom(40);
    m_y += 3;
    paragraph(title, sans(9.5, true), inkOfPages());
    m_y += 2;
}

void ReportPages::note(const QString& line) {
    paragraph(line, sans(7.8), mutedInk());
    m_y += 5;
}

void ReportPages::startPage() {
    ++m_page;
    m_y = marginTop;
    m_painter.setFont(sans(7.5));
    m_painter.setPen(mutedInk());
    const QRectF top(marginX, 24, contentWidth, 12);
    m_painter.drawText(top, Qt::AlignLeft | Qt::AlignVCenter, m_head);
    m_painter.drawText(top, Qt::AlignRight | Qt::AlignVCenter, m_date);
    m_painter.drawText(QRectF(marginX, pageHeight - 34, contentWidth, 12),
                       Qt::AlignHCenter | Qt::AlignVCenter, QStringLiteral("página %1").arg(m_page));
}

std::string reportPdf(const QString& title, const QString& head, const QString& date,
                      const std::function<void(ReportPages&)>& paint) {
    ensureMemory(pdfMemory);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setResolution(72);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                     QMarginsF(0, 0, 0, 0), QPageLayout::Point));
    writer.setTitle(title);
    writer.setCreator(QStringLiteral("VANTERO"));
    paintOn(writer, [&](QPainter& painter) {
        ReportPages pages(writer, painter, head, date);
        paint(pages);
    });
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

void table(ReportPages& pages, const std::vector<TableRow>& rows, std::array<double, 3> widths) {
    QPainter& p = pages.painter();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const TableRow& row = rows[i];
        const QFont labelFont = sans(8.4, row.bold);
        const QFont valueFont = row.words ? labelFont : mono(8.4, row.bold);
        p.setFont(labelFont);
        const QRectF labelArea(marginX + cellPadding, 0, widths[0] - 2 * cellPadding, pageHeight);
        const double labelHeight =
            p.boundingRect(labelArea, Qt::AlignLeft | Qt::TextWordWrap, row.cells[0]).height();
        const double height = std::max(labelHeight, QFontMetricsF(labelFont).height()) + 2.6;
        pages.makeRoom(height);
        const double y = pages.y();
        if (i % 2 == 0) {
            p.fillRect(QRectF(marginX, y, widths[0] + widths[1] + widths[2], height), stripe);
        }
        p.setPen(inkOfPages());
        p.setFont(labelFont);
        p.drawText(QRectF(marginX + cellPadding, y + 1, widths[0] - 2 * cellPadding, height - 2),
                   Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, row.cells[0]);
        p.setFont(valueFont);
        p.drawText(QRectF(marginX + widths[0], y + 1, widths[1] - cellPadding, height - 2),
                   Qt::AlignRight | Qt::AlignVCenter, row.cells[1]);
        p.setFont(labelFont);
        p.drawText(QRectF(marginX + widths[0] + widths[1] + cellPadding, y + 1,
                          widths[2] - cellPadding, height - 2),
                   Qt::AlignLeft | Qt::AlignVCenter, row.cells[2]);
        pages.advance(height);
    }
    pages.advance(4);
}

void inputTables(ReportPages& pages, const std::vector<ReportInputPage>& inputPages) {
    for (const ReportInputPage& page : inputPages) {
        pages.subheading(text(page.title));
        std::vector<TableRow> rows;
        for (const ReportInput& input : page.inputs) {
            QString label = text(input.label);
            if (!input.part.empty()) {
                label += QStringLiteral(" · peça ") + text(input.part);
            }
            rows.push_back({{label, text(input.text), text(input.unit)}, false, input.choice});
        }
        table(pages, rows);
    }
}

namespace {

// The headings of a grid, in bold, wrapped, over a rule.
void gridHeadings(ReportPages& pages, const std::vector<GridColumn>& columns) {
    QPainter& p = pages.painter();
    const QFont font = sans(7.8, true);
    p.setFont(font);
    double height = QFontMetricsF(font).height();
    for (const GridColumn& column : columns) {
        const QRectF area(0, 0, column.width - 2 * cellPadding, pageHeight);
        height = std::max(
            height, p.boundingRect(area, Qt::AlignLeft | Qt::TextWordWrap, column.heading).height());
    }
    height += 4;
    pages.makeRoom(3 * height);
    const double y = pages.y();
    double x = marginX;
    p.setPen(inkOfPages());
    for (const GridColumn& column : columns) {
        p.drawText(QRectF(x + cellPadding, y, column.width - 2 * cellPadding, height - 2),
                   (column.number ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignBottom |
                       Qt::TextWordWrap,
                   column.heading);
        x += column.width;
    }
    p.setPen(QPen(mutedInk(), 0.6));
    p.drawLine(QPointF(marginX, y + height), QPointF(x, y + height));
    pages.advance(height + 1.5);
}

} // namespace

void grid(ReportPages& pages, const std::vector<GridColumn>& columns,
          const std::vector<std::vector<QString>>& rows) {
    QPainter& p = pages.painter();
    const QFont words = sans(8);
    const QFont numbers = mono(8);
    const double height = QFontMetricsF(words).height() + 3;
    double width = 0;
    for (const GridColumn& column : columns) {
        width += column.width;
    }
    gridHeadings(pages, columns);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (pages.roomLeft() < height) {
            pages.newPage();
            gridHeadings(pages, columns);
        }
        const double y = pages.y();
        if (i % 2 == 0) {
            p.fillRect(QRectF(marginX, y, width, height), stripe);
        }
        p.setPen(inkOfPages());
        double x = marginX;
        for (std::size_t c = 0; c < columns.size() && c < rows[i].size(); ++c) {
            const GridColumn& column = columns[c];
            const QFont& font = column.number ? numbers : words;
            const double room = column.width - 2 * cellPadding;
            p.setFont(font);
            const QString cell = column.cut ? QFontMetricsF(font).elidedText(rows[i][c],
                                                                            Qt::ElideRight, room)
                                            : rows[i][c];
            p.drawText(QRectF(x + cellPadding, y, room, height),
                       (column.number ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter, cell);
            x += column.width;
        }
        pages.advance(height);
    }
    pages.advance(4);
}

} // namespace vantero::report
