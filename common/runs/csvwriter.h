#pragma once

#include "common/calculator/calculator.h"

#include <cstddef>
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vantero {

// Where the bytes of an output go, as they come: a stream or a file being
// replaced. A failure to write throws FileFailure naming the output.
using OutputSink = std::function<void(std::string_view bytes)>;

// A sink writing to `file` (standard output, say), named `name` in failures.
OutputSink streamSink(std::FILE* file, std::string name);

// Writes the CSV of a sweep to a sink through one large buffer: a header,
// then one row per point with the input's value, powerDistance,
// riseTimeDistance, maximumDistance, limitedBy and the rise-time message or the
// fault's text. Numbers come in their shortest form that reads back as the
// same double; an output the run did not set is an empty cell.
class CsvWriter {
public:
    explicit CsvWriter(OutputSink sink, std::size_t capacity = std::size_t{1} << 20);
    CsvWriter(const CsvWriter&) = delete;
    CsvWriter& operator=(const CsvWriter&) = delete;

    void header(std::string_view inputName);
    void row(const SweepPoint& point);
    // A row whose first cell is the name of a choice's value.
    void row(std::string_view value, const SweepPoint& point);
    // Rows written elsewhere, as they are.
    void write(std::string_view rows) { put(rows); }
    // Writes what is buffered.
    void finish();

    // The pieces of the rows of other tables that hold the sweep's cells:
    // bytes as they are, a text cell (quoted when it must be), a number cell
    // (empty when not set), and the cells of a point after the input's, each
    // after its comma: powerDistance, riseTimeDistance, maximumDistance,
    // limitedBy and the message or the fault's text.
    void put(std::string_view text);
    void put(char c) {
        if (m_used == m_buffer.size()) {
            flush();
        }
        m_buffer[m_used++] = c;
    }
    void putText(std::string_view text);
    void putNumber(double value);
    void putNumber(const std::optional<double>& value);
    void putOutputs(const SweepPoint& point);

private:
    void room(std::size_t bytes);
    void flush();

    OutputSink m_sink;
    std::vector<char> m_buffer;
    std::size_t m_used = 0;
    // The last message that needed no quotes: a message is one of the
    // program's fixed texts, so the same text is the same characters.
    std::string_view m_plainMessage;
};

} // namespace vantero
