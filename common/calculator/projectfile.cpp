#include "common/calculator/projectfile.h"

#include "common/fileoutput/descriptor.h"
#include "common/fileoutput/filereplacement.h"
#include "common/numbers/failure.h"
#include "common/numbers/formatting.h"
#include "common/numbers/numbers.h"

#include <cerrno>
#include <cmath>
#include <fcntl.h>
#include <stdexcept>
#include <string>
#include <unistd.h>

namespace vantero {
namespace {

[[noreturn]] void failWithErrno(const std::filesystem::path& path) {
    throw FileFailure(errno, path.string());
}

// A stored choice: the selected index + 1, or 0.0 when nothing is selected
// (0.0 is no code of any choice, so opening the file leaves it unselected).
long double choiceCode(const ProjectRecord& record, const ChoiceIndex& index) {
    if (!index) {
        return 0;
    }
    if (*index < 0 || *index >= record.codeCount) {
        throw std::invalid_argument("choice " + std::string(record.input) + " has no item " +
                                    std::to_string(*index));
    }
    return *index + 1;
}

// The index of the item whose code `value` is exactly, if any.
ChoiceIndex choiceIndex(const ProjectRecord& record, double value) {
    if (value >= 1 && value <= record.codeCount && std::floor(value) == value) {
        return static_cast<int>(value) - 1;
    }
    return std::nullopt;
}

Real48 encodeEntry(const ProjectRecord& record, const RecordEntry& entry) {
    if (record.kind == RecordKind::Number) {
        const auto* text = std::get_if<std::string>(&entry);
        if (text == nullptr) {
            throw std::invalid_argument("field " + std::string(record.input) + " needs a text");
        }
        return toReal48(NumberText(std::string_view(*text)).value(record.input));
    }
    const auto* index = std::get_if<ChoiceIndex>(&entry);
    if (index == nullptr) {
        throw std::invalid_argument("choice " + std::string(record.input) + " needs an index");
    }
    return toReal48(choiceCode(record, *index));
}

// The text a numeric field gets for the value of its record: three
// decimals, and for the exponent form of magnitudes of 1e36 and more as many
// more as it takes for the text to be saved as the same six bytes again.
std::string fieldText(double value) {
    std::string text = formatFileValue(value);
    if (text.find('E') == std::string::npos) {
        return text;
    }
    const Real48 stored = toReal48(value);
    for (int decimals = 4; decimals <= 17; ++decimals) {
        // A text rounded up beyond the largest six-byte real does not count.
        if (const NumberText number(text);
            number.isNumber() && fitReal48(number.value()) == stored) {
            return text;
        }
        text = formatFixed(value, decimals);
    }
    return text;
}

// The first `count` bytes of the file `path`, or all of it when it is
// shorter.
std::vector<std::uint8_t> readHead(const std::filesystem::path& path, std::size_t count) {
    // Non-blocking, so that a named pipe with no writer reads as empty rather
    // than hanging the window.
    Descriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (file.get() < 0) {
        failWithErrno(path);
    }
    std::vector<std::uint8_t> bytes(count);
    std::size_t got = 0;
    while (got < count) {
        const ssize_t n = ::read(file.get(), bytes.data() + got, count - got);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            // A pipe whose writer has written nothing yet, or no more.
            if (errno == EAGAIN && got == 0) {
                throw FileFailure::nothingWrittenYet(path.string());
            }
            if (errno == EAGAIN) {
                break;
            }
            failWithErrno(path);
        }
        if (n == 0) {
            break;
        }
        got += static_cast<std::size_t>(n);
    }
    bytes.resize(got);
    file.close(path);
    return bytes;
}

bool sameLetters(std::string_view a, std::string_view b) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lower(a[i]) != lower(b[i])) {
            return false;
        }
    }
    return true;
}

std::string_view lastComponent(std::string_view path) {
#ifdef _WIN32
    const std::size_t separator = path.find_last_of("\\/");
#else
    const std::size_t separator = path.find_last_of('/');
#endif
    return separator == std::string_view::npos ? path : path.substr(separator + 1);
}

} // namespace

std::vector<std::uint8_t> encodeProject(const ProjectLayout& layout,
                                        std::span<const RecordEntry> entries) {
    if (entries.size() != layout.records.size()) {
        throw std::invalid_argument("the layout has " + std::to_string(layout.records.size()) +
                                    " records, not " + std::to_string(entries.size()));
    }
    std::vector<std::uint8_t> bytes;
    bytes.reserve(layout.byteCount());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const Real48 record = encodeEntry(layout.records[i], entries[i]);
        bytes.insert(bytes.end(), record.begin(), record.end());
    }
    return bytes;
}

std::vector<double> decodeRecordValues(const ProjectLayout& layout,
                                       std::span<const std::uint8_t> bytes) {
    if (bytes.size() < layout.byteCount()) {
        throw FileFailure::readBeyondEnd();
    }
    std::vector<double> values;
    values.reserve(layout.records.size());
    for (std::size_t i = 0; i < layout.records.size(); ++i) {
        values.push_back(fromReal48(bytes.subspan(i * real48Size).first<real48Size>()));
    }
    return values;
}

std::vector<RecordEntry> decodeProject(const ProjectLayout& layout,
                                       std::span<const std::uint8_t> bytes) {
    const std::vector<double> values = decodeRecordValues(layout, bytes);
    std::vector<RecordEntry> entries;
    entries.reserve(values.size());
    for (std::size_t i = 0; i < values.size(); ++i) {
        const ProjectRecord& record = layout.records[i];
        if (record.kind == RecordKind::Number) {
            entries.emplace_back(fieldText(values[i]));
        } else {
            entries.emplace_back(choiceIndex(record, values[i]));
        }
    }
    return entries;
}

void saveProject(const ProjectLayout& layout, const std::filesystem::path& path,
                 std::span<const RecordEntry> entries) {
    replaceFile(path, encodeProject(layout, entries));
}

std::vector<RecordEntry> loadProject(const ProjectLayout& layout,
                                     const std::filesystem::path& path) {
    const std::vector<std::uint8_t> bytes = readHead(path, layout.byteCount());
    if (bytes.size() < layout.byteCount()) {
        throw FileFailure::readBeyondEnd(path.string());
    }
    return decodeProject(layout, bytes);
}

bool isProjectPath(std::string_view path, std::string_view extension) {
    const std::string_view name = lastComponent(path);
    return name.size() >= extension.size() &&
           sameLetters(name.substr(name.size() - extension.size()), extension);
}

std::string projectFileForSaving(std::string_view path, std::string_view extension) {
    const std::string chosen(path);
    const std::string_view last = lastComponent(path);
    if (last.empty() || last == "." || last == "..") {
        throw FileFailure(last.empty() && path.empty() ? EINVAL : EISDIR, chosen);
    }
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(chosen, error);
    if (!error && std::filesystem::is_directory(status)) {
        throw FileFailure(EISDIR, chosen);
    }
    if (!error && !std::filesystem::is_regular_file(status)) {
        throw FileFailure::notARegularFile(chosen);
    }
    return projectPathForSaving(path, extension);
}

std::string projectPathForSaving(std::string_view path, std::string_view extension) {
    std::string result(path);
    if (!isProjectPath(path, extension)) {
        result += extension;
    }
    return result;
}

} // namespace vantero
