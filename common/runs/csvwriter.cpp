#include "common/runs/csvwriter.h"

#include "common/numbers/failure.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cerrno>
#include <charconv>
#include <cstdint>

namespace vantero {
namespace {

// Room for one number: the longest shortest form of a double is 24 characters.
constexpr std::size_t numberRoom = 32;

bool needsQuotes(char c) {
    return c == ',' || c == '"' || c == '\r' || c == '\n';
}

bool isPlain(std::string_view text) {
    for (const char c : text) {
        if (needsQuotes(c)) {
            return false;
        }
    }
    return true;
}

// One number cell in its shortest form, or an empty cell.
struct NumberCell {
    std::array<char, numberRoom> text{};
    std::size_t size = 0;

    NumberCell() = default;
    explicit NumberCell(const std::optional<double>& value) {
        if (value) {
            size = static_cast<std::size_t>(
                std::to_chars(text.data(), text.data() + text.size(), *value).ptr - text.data());
        }
    }
    std::string_view view() const { return {text.data(), size}; }
};

// The same double, bit for bit (so -0 is not 0), or both cells empty.
bool sameValue(const std::optional<double>& a, const std::optional<double>& b) {
    if (!a || !b) {
        return !a && !b;
    }
    return std::bit_cast<std::uint64_t>(*a) == std::bit_cast<std::uint64_t>(*b);
}

} // namespace

OutputSink streamSink(std::FILE* file, std::string name) {
    return [file, name = std::move(name)](std::string_view bytes) {
        errno = 0;
        if (std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size()) {
            throw FileFailure(errno != 0 ? errno : EIO, name);
        }
    };
}

CsvWriter::CsvWriter(OutputSink sink, std::size_t capacity)
    : m_sink(std::move(sink)), m_buffer(capacity < 2 * numberRoom ? 2 * numberRoom : capacity) {}

void CsvWriter::header(std::string_view inputName) {
    putText(inputName);
    put(",powerDistance,riseTimeDistance,maximumDistance,limitedBy,message\n");
}

void CsvWriter::row(const SweepPoint& point) {
    putNumber(point.input);
    putOutputs(point);
    put('\n');
}

void CsvWriter::row(std::string_view value, const SweepPoint& point) {
    putText(value);
    putOutputs(point);
    put('\n');
}

// The cells after the input's. The maximum distance is one of the two
// distances, or 0: its text is theirs when it is the same.
void CsvWriter::putOutputs(const SweepPoint& point) {
    const NumberCell power(point.powerDistance);
    const NumberCell riseTime(point.riseTimeDistance);
    put(',');
    put(power.view());
    put(',');
    put(riseTime.view());
    put(',');
    if (sameValue(point.maximumDistance, point.powerDistance)) {
        put(power.view());
    } else if (sameValue(point.maximumDistance, point.riseTimeDistance)) {
        put(riseTime.view());
    } else {
        putNumber(point.maximumDistance);
    }
    put(',');
    if (point.limitedBy) {
        put(limitingFactorName(*point.limitedBy));
    }
    put(',');
    if (point.fault) {
        putText(point.fault->text());
    } else if (point.message.empty()) {
        // No message: an empty cell.
    } else if (point.message.data() == m_plainMessage.data() &&
               point.message.size() == m_plainMessage.size()) {
        put(point.message);
    } else {
        putText(point.message);
        if (isPlain(point.message)) {
            m_plainMessage = point.message;
        }
    }
}

void CsvWriter::finish() {
    flush();
}

void CsvWriter::room(std::size_t bytes) {
    if (m_buffer.size() - m_used < bytes) {
        flush();
    }
}

void CsvWriter::flush() {
    if (m_used > 0) {
        m_sink({m_buffer.data(), m_used});
    }
    m_used = 0;
}

void CsvWriter::put(std::string_view text) {
    if (text.size() > m_buffer.size() - m_used) {
        flush();
        if (text.size() > m_buffer.size()) {
            m_sink(text);
            return;
        }
    }
    text.copy(m_buffer.data() + m_used, text.size());
    m_used += text.size();
}

void CsvWriter::putNumber(double value) {
    room(numberRoom);
    char* first = m_buffer.data() + m_used;
    const auto result = std::to_chars(first, first + numberRoom, value);
    m_used += static_cast<std::size_t>(result.ptr - first);
}

void CsvWriter::putNumber(const std::optional<double>& value) {
    if (value) {
        putNumber(*value);
    }
}

// A cell holding a comma, a quote or a line break is quoted, its quotes
// doubled.
void CsvWriter::putText(std::string_view text) {
    if (isPlain(text)) {
        put(text);
        return;
    }
    put('"');
    for (std::size_t quote = text.find('"'); quote != std::string_view::npos;
         quote = text.find('"')) {
        put(text.substr(0, quote + 1));
        put('"');
        text.remove_prefix(quote + 1);
    }
    put(text);
    put('"');
}

} // namespace vantero
