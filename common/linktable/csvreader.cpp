#include "common/linktable/csvreader.h"

#include <algorithm>
#include <cstring>

namespace vantero::linktable {

ByteSource textSource(std::string_view text, std::size_t chunk) {
    return [text, chunk, at = std::size_t{0}](char* buffer, std::size_t size) mutable {
        const std::size_t count = std::min({size, chunk, text.size() - at});
        std::memcpy(buffer, text.data() + at, count);
        at += count;
        return count;
    };
}

void RowBuffer::clear() {
    m_text.clear();
    m_cellEnds.clear();
    m_rows.clear();
    m_faults.clear();
    m_rowStart = 0;
}

std::size_t RowBuffer::bytes() const {
    return m_text.size() + m_cellEnds.size() * sizeof(std::size_t) + m_rows.size() * sizeof(Row) +
           m_faults.size();
}

std::string_view RowBuffer::cell(std::size_t row, std::size_t cell) const {
    const std::size_t index = m_rows[row].firstCell + cell;
    const std::size_t start = index == 0 ? 0 : m_cellEnds[index - 1];
    return {m_text.data() + start, m_cellEnds[index] - start};
}

void RowBuffer::cells(std::size_t row, std::vector<std::string_view>& into) const {
    into.clear();
    for (std::size_t c = 0; c < cellCount(row); ++c) {
        into.push_back(cell(row, c));
    }
}

std::string_view RowBuffer::fault(std::size_t row) const {
    const Row& r = m_rows[row];
    return std::string_view(m_faults).substr(r.faultStart, r.faultEnd - r.faultStart);
}

void RowBuffer::startRow(std::size_t line) {
    m_rows.push_back({m_cellEnds.size(), line});
    m_rowStart = m_text.size();
}

void RowBuffer::failRow(std::string_view why) {
    Row& row = m_rows.back();
    m_cellEnds.resize(row.firstCell);
    m_text.resize(m_rowStart);
    row.faultStart = m_faults.size();
    m_faults.append(why);
    row.faultEnd = m_faults.size();
}

CsvReader::CsvReader(ByteSource source, std::size_t bufferBytes)
    : m_source(std::move(source)), m_buffer(std::max<std::size_t>(bufferBytes, 16)) {}

std::size_t CsvReader::available(std::size_t count) {
    if (m_end - m_position >= count || m_ended) {
        return m_end - m_position;
    }
    std::memmove(m_buffer.data(), m_buffer.data() + m_position, m_end - m_position);
    m_offset += m_position;
    m_end -= m_position;
    m_position = 0;
    while (m_end < count) {
        const std::size_t got = m_source(m_buffer.data() + m_end, m_buffer.size() - m_end);
        if (got == 0) {
            m_ended = true;
            break;
        }
        m_end += got;
    }
    return m_end;
}

void CsvReader::fault(std::string_view why) {
    if (m_fault.empty()) {
        m_fault = why;
    }
}

void CsvReader::checkLength() {
    if (m_offset + m_position - m_rowOffset > maxRowBytes) {
        fault("the row is longer than 1 MiB");
    }
}

// The bytes from `from` to the current position belong to the cell being
// read (unless the row has failed: its bytes are dropped).
void CsvReader::take(RowBuffer& rows, std::size_t from) {
    checkLength();
    if (m_fault.empty()) {
        rows.append(std::string_view(m_buffer.data() + from, m_position - from));
    }
}

bool CsvReader::lineBreak() {
    if (available() == 0) {
        return false;
    }
    const char c = m_buffer[m_position];
    if (c != '\n' && c != '\r') {
        return false;
    }
    ++m_position;
    ++m_line;
    if (c == '\r' && available() > 0 && m_buffer[m_position] == '\n') {
        ++m_position;
    }
    return true;
}

// A cell without quotes, up to the comma or line break after it.
void CsvReader::readPlain(RowBuffer& rows) {
    while (available() > 0) {
        const std::size_t from = m_position;
        while (m_position < m_end) {
            const char c = m_buffer[m_position];
            if (c == ',' || c == '\n' || c == '\r') {
                take(rows, from);
                return;
            }
            if (c == '"') {
                fault("a quote within a cell that does not start with one");
            }
            ++m_position;
        }
        take(rows, from);
    }
}

// A cell within quotes, after its opening quote: up to its closing quote. A
// line break within it counts as a line of the file (CR LF as one).
void CsvReader::readQuoted(RowBuffer& rows) {
    bool afterReturn = false;
    while (available() > 0) {
        const std::size_t from = m_position;
        while (m_position < m_end && m_buffer[m_position] != '"') {
            const char c = m_buffer[m_position++];
            if (c == '\r' || (c == '\n' && !afterReturn)) {
                ++m_line;
            }
            afterReturn = c == '\r';
        }
        if (m_position == m_end) {
            take(rows, from);
            continue;
        }
        take(rows, from);
        ++m_position; // the quote
        if (available() == 0 || m_buffer[m_position] != '"') {
            return;
        }
        ++m_position; // a doubled quote stands for one
        if (m_fault.empty()) {
            rows.append('"');
        }
        afterReturn = false;
    }
    fault("a quoted cell is not closed before the end of the table");
}

bool CsvReader::read(RowBuffer& rows) {
    if (!m_started) {
        m_started = true;
        if (available(3) >= 3 &&
            std::memcmp(m_buffer.data() + m_position, "\xEF\xBB\xBF", 3) == 0) {
            m_position += 3;
        }
    }
    while (lineBreak()) {
        // an empty line
    }
    if (available() == 0) {
        return false;
    }
    rows.startRow(m_line);
    m_rowOffset = m_offset + m_position;
    m_fault = {};
    for (;;) {
        if (available() > 0 && m_buffer[m_position] == '"') {
            ++m_position;
            readQuoted(rows);
            if (available() > 0 && m_buffer[m_position] != ',' && m_buffer[m_position] != '\n' &&
                m_buffer[m_position] != '\r') {
                fault("text after the closing quote of a cell");
                readPlain(rows);
            }
        } else {
            readPlain(rows);
        }
        if (m_fault.empty()) {
            rows.endCell();
        }
        if (available() == 0 || m_buffer[m_position] != ',') {
            break;
        }
        ++m_position;
        checkLength();
    }
    lineBreak();
    if (!m_fault.empty()) {
        rows.failRow(m_fault);
    }
    return true;
}

bool CsvReader::readBlock(RowBuffer& rows, std::size_t maxRows, std::size_t maxBytes) {
    const std::size_t before = rows.size();
    while (rows.size() < maxRows && rows.bytes() < maxBytes && read(rows)) {
    }
    return rows.size() > before;
}

} // namespace vantero::linktable
