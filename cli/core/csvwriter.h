#pragma once

#include "calculators/registry.h"

#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace vantero::cli {

// Writes the CSV of a sweep to a stream through one large buffer: a header,
// then one row per point with the input's value, powerDistance,
// riseTimeDistance, maximumDistance, limitedBy and the rise-time message or the
// fault's text. Numbers come in their shortest form that reads back as the
// same double; an output the run did not set is an empty cell.
class CsvWriter {
public:
    // `name` is the file's path (or "standard output"), for its failures.
    CsvWriter(std::FILE* file, std::string name, std::size_t capacity = std::size_t{1} << 20);
    CsvWriter(const CsvWriter&) = delete;
    CsvWriter& operator=(const CsvWriter&) = delete;

    void header(std::string_view inputName);
    void row(const SweepPoint& point);
    // A row whose first cell is the name of a choice's value.
    void row(std::string_view value, const SweepPoint& point);
    // Writes what is buffered and flushes the stream; a failure to write
    // throws FileFailure with the system's error number and the file's name.
    void finish();

private:
    void room(std::size_t bytes);
    void flush();
    void put(std::string_view text);
    void put(char c) {
        if (m_used == m_buffer.size()) {
            flush();
        }
        m_buffer[m_used++] = c;
    }
    void putNumber(double value);
    void putNumber(const std::optional<double>& value);
    void putText(std::string_view text);
    void putOutputs(const SweepPoint& point);

    [[noreturn]] void fail() const;

    std::FILE* m_file;
    std::string m_name;
    std::vector<char> m_buffer;
    std::size_t m_used = 0;
};

} // namespace vantero::cli
