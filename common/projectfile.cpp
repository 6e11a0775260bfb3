#include "common/projectfile.h"

#include "common/failure.h"
#include "common/formatting.h"
#include "common/numbers.h"

#include <cerrno>
#include <cmath>
#include <fcntl.h>
#include <stdexcept>
#include <string>
#include <sys/stat.h>
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

// An open file descriptor, closed when it goes out of scope.
class Descriptor {
public:
    Descriptor(int fd, std::filesystem::path path) : m_fd(fd), m_path(std::move(path)) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }

    int get() const { return m_fd; }
    // Closes now, reporting a failure of the close itself (a write the system
    // had deferred can fail here).
    void close() {
        const int fd = m_fd;
        m_fd = -1;
        if (::close(fd) != 0) {
            failWithErrno(m_path);
        }
    }

private:
    int m_fd;
    std::filesystem::path m_path; // named in a failure
};

// A new file in the folder of the file it will replace, removed again unless
// it was committed. Its failures name the file as the caller named it.
class ReplacementFile {
public:
    ReplacementFile(const std::filesystem::path& target, const std::filesystem::path& named)
        : m_target(target), m_named(named), m_descriptor(create(), named) {}
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;
    ~ReplacementFile() {
        if (!m_committed) {
            ::unlink(m_path.c_str()); // the descriptor is closed after this
        }
    }

    void write(std::span<const std::uint8_t> bytes) {
        while (!bytes.empty()) {
            const ssize_t written = ::write(m_descriptor.get(), bytes.data(), bytes.size());
            if (written < 0) {
                if (errno == EINTR) {
                    continue;
                }
                failWithErrno(m_named);
            }
            if (written == 0) {
                throw FileFailure(EIO, m_named.string());
            }
            bytes = bytes.subspan(static_cast<std::size_t>(written));
        }
    }

    // Flushes the new file to disk and puts it in the place of the target.
    void commit() {
        if (::fsync(m_descriptor.get()) != 0) {
            failWithErrno(m_named);
        }
        m_descriptor.close();
        if (::rename(m_path.c_str(), m_target.c_str()) != 0) {
            failWithErrno(m_named);
        }
        m_committed = true;
        syncFolder();
    }

private:
    int create() {
        // A file the user may not write is not replaced either, although the
        // folder would allow it.
        if (::faccessat(AT_FDCWD, m_target.c_str(), W_OK, AT_EACCESS) != 0 && errno != ENOENT) {
            failWithErrno(m_named);
        }
        const std::filesystem::path folder = m_target.parent_path();
        for (int attempt = 0;; ++attempt) {
            m_path = folder / (".vantero-" + std::to_string(::getpid()) + "-" +
                               std::to_string(attempt) + ".tmp");
            // 0666 less the user's umask, as a newly created file would have.
            const int fd = ::open(m_path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (fd >= 0) {
                keepModeOfTarget(fd);
                return fd;
            }
            if (errno != EEXIST || attempt == 99) {
                failWithErrno(m_named);
            }
        }
    }

    // A file that is replaced keeps its permissions.
    void keepModeOfTarget(int fd) {
        struct stat target {};
        if (::stat(m_target.c_str(), &target) == 0 && S_ISREG(target.st_mode) &&
            ::fchmod(fd, target.st_mode & 07777) != 0) {
            const int error = errno;
            ::close(fd);
            ::unlink(m_path.c_str());
            throw FileFailure(error, m_named.string());
        }
    }

    // Makes the rename itself durable. The file is already in place, so a
    // failure here is not reported.
    void syncFolder() {
        const std::filesystem::path folder = m_target.parent_path();
        const int fd =
            ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd >= 0) {
            ::fsync(fd);
            ::close(fd);
        }
    }

    std::filesystem::path m_target;
    std::filesystem::path m_named;
    std::filesystem::path m_path;
    Descriptor m_descriptor;
    bool m_committed = false;
};

// The file a save replaces: through a symbolic link, the file it points to,
// so that the link stays a link.
std::filesystem::path replacedFile(const std::filesystem::path& path) {
    std::error_code error;
    if (std::filesystem::is_symlink(path, error)) {
        std::filesystem::path resolved = std::filesystem::canonical(path, error);
        if (!error) {
            return resolved;
        }
    }
    return path;
}

// The first `count` bytes of the file `path`, or all of it when it is
// shorter.
std::vector<std::uint8_t> readHead(const std::filesystem::path& path, std::size_t count) {
    // Non-blocking, so that a named pipe with no writer reads as empty rather
    // than hanging the window.
    Descriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK), path);
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
            failWithErrno(path);
        }
        if (n == 0) {
            break;
        }
        got += static_cast<std::size_t>(n);
    }
    bytes.resize(got);
    file.close();
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
            entries.emplace_back(formatFileValue(values[i]));
        } else {
            entries.emplace_back(choiceIndex(record, values[i]));
        }
    }
    return entries;
}

void saveProject(const ProjectLayout& layout, const std::filesystem::path& path,
                 std::span<const RecordEntry> entries) {
    const std::vector<std::uint8_t> bytes = encodeProject(layout, entries);
    ReplacementFile file(replacedFile(path), path);
    file.write(bytes);
    file.commit();
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

std::string projectPathForSaving(std::string_view path, std::string_view extension) {
    std::string result(path);
    if (!isProjectPath(path, extension)) {
        result += extension;
    }
    return result;
}

} // namespace vantero
