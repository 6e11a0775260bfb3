#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vantero::linktable {

// Where the bytes of a table come from: fills `buffer` with up to `size`
// bytes and gives how many, 0 at the end. A failure to read throws
// (FileFailure naming the file).
using ByteSource = std::function<std::size_t(char* buffer, std::size_t size)>;

// The bytes of a text held in memory, `chunk` at most at a time; the text
// must outlive the source.
ByteSource textSource(std::string_view text, std::size_t chunk = SIZE_MAX);

// Rows of text cells, held one after another in one buffer, each with the
// line of the file it starts on. A row that could not be read whole holds no
// cells and says why.
class RowBuffer {
public:
    void clear();
    std::size_t size() const { return m_rows.size(); }
    bool empty() const { return m_rows.empty(); }
    // The memory the rows take, near enough.
    std::size_t bytes() const;

    std::size_t line(std::size_t row) const { return m_rows[row].line; }
    std::size_t cellCount(std::size_t row) const { return cellEnd(row) - m_rows[row].firstCell; }
    std::string_view cell(std::size_t row, std::size_t cell) const;
    // The cells of a row as views into the buffer, good until it changes.
    void cells(std::size_t row, std::vector<std::string_view>& into) const;
    // What is wrong with a row that could not be read; empty for one read whole.
    std::string_view fault(std::size_t row) const;

    // For those who fill it: a row starts, its cells grow and end, and the
    // row ends, or fails and loses its cells.
    void startRow(std::size_t line);
    void append(std::string_view bytes) { m_text.append(bytes); }
    void append(char c) { m_text.push_back(c); }
    void endCell() { m_cellEnds.push_back(m_text.size()); }
    void failRow(std::string_view why);

private:
    struct Row {
        std::size_t firstCell;
        std::size_t line;
        std::size_t faultStart = 0;
        std::size_t faultEnd = 0;
    };
    std::size_t cellEnd(std::size_t row) const {
        return row + 1 < m_rows.size() ? m_rows[row + 1].firstCell : m_cellEnds.size();
    }

    std::string m_text;
    std::vector<std::size_t> m_cellEnds; // where each cell ends in m_text
    std::vector<Row> m_rows;
    std::string m_faults;
    std::size_t m_rowStart = 0;
};

// Reads a table in CSV (RFC 4180): cells separated by commas, rows ended by
// LF, CRLF or a lone CR; a cell in double quotes may hold commas, line breaks
// and quotes (doubled); a UTF-8 byte-order mark before the first row is
// skipped, and so are empty lines. The bytes come through a buffer of the
// reader's own and each row is handed on as it is read, so that memory does
// not grow with the table.
//
// A row that breaks the rules is handed on without cells, with its fault, and
// reading goes on at the next row: text after the closing quote of a cell, a
// quote within a cell that does not start with one, a quoted cell that the
// table ends in, a row longer than maxRowBytes.
class CsvReader {
public:
    static constexpr std::size_t maxRowBytes = std::size_t{1} << 20;

    explicit CsvReader(ByteSource source, std::size_t bufferBytes = std::size_t{1} << 16);

    // Appends the next row to `rows`; false at the end of the table.
    bool read(RowBuffer& rows);
    // Appends rows until `rows` holds `maxRows` rows or `maxBytes` bytes of
    // cells, or the table ends; false when it appended none.
    bool readBlock(RowBuffer& rows, std::size_t maxRows, std::size_t maxBytes);

private:
    // The bytes available from the current position, reading more when
    // there are fewer than `count`; fewer only at the end of the table.
    std::size_t available(std::size_t count = 1);
    void readQuoted(RowBuffer& rows);
    void readPlain(RowBuffer& rows);
    void take(RowBuffer& rows, std::size_t from);
    void checkLength();
    void fault(std::string_view why);
    // Takes a line break (CR LF as one) if one comes next.
    bool lineBreak();

    ByteSource m_source;
    std::vector<char> m_buffer;
    std::size_t m_position = 0;
    std::size_t m_end = 0;
    std::size_t m_offset = 0;    // of the buffer's first byte in the table
    std::size_t m_rowOffset = 0; // of the row being read
    bool m_ended = false;
    bool m_started = false;
    std::size_t m_line = 1;
    std::string_view m_fault; // the first fault of the row being read
};

} // namespace vantero::linktable
