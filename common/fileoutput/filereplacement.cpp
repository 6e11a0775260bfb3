#include "common/fileoutput/filereplacement.h"

#include "common/fileoutput/descriptor.h"
#include "common/numbers/failure.h"

#include <array>
#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <optional>
#include <string>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace vantero {
namespace {

namespace fs = std::filesystem;

// Failures name the file as the caller named it.
[[noreturn]] void fail(int error, const fs::path& shown) {
    throw FileFailure(error, shown.string());
}

[[noreturn]] void failWithErrno(const fs::path& shown) {
    fail(errno, shown);
}

std::atomic<bool> namedTemporaryFilesOnly{false};

// The names of temporary files: ".vantero-PID-N.tmp".
constexpr std::string_view temporaryPrefix = ".vantero-";
constexpr std::string_view temporarySuffix = ".tmp";

std::string temporaryName() {
    static std::atomic<unsigned> counter{0};
    return std::string(temporaryPrefix) + std::to_string(::getpid()) + "-" +
           std::to_string(counter++) + std::string(temporarySuffix);
}

bool isTemporaryName(std::string_view name) {
    if (!name.starts_with(temporaryPrefix) || !name.ends_with(temporarySuffix)) {
        return false;
    }
    name = name.substr(temporaryPrefix.size(),
                       name.size() - temporaryPrefix.size() - temporarySuffix.size());
    const std::size_t dash = name.find('-');
    auto digits = [](std::string_view s) {
        return !s.empty() && s.find_first_not_of("0123456789") == std::string_view::npos;
    };
    return dash != std::string_view::npos && digits(name.substr(0, dash)) &&
           digits(name.substr(dash + 1));
}

// The signals that end the program by default and that it can hold or
// catch. Named temporary files are removed on them before the default action
// follows, and they wait while a step that must not be cut short runs.
constexpr std::array<int, 11> cleanedSignals = {SIGHUP,  SIGINT,  SIGQUIT, SIGTERM,
                                                SIGALRM, SIGUSR1, SIGUSR2, SIGXCPU,
                                                SIGXFSZ, SIGVTALRM, SIGPROF};

sigset_t cleanedSignalSet() {
    sigset_t set;
    ::sigemptyset(&set);
    for (const int signal : cleanedSignals) {
        ::sigaddset(&set, signal);
    }
    return set;
}

// The named temporary files of this process, in a fixed table that the
// signal handler can walk: a slot is free (0), being filled (1) or names a
// file to remove (2).
struct TemporaryFile {
    std::atomic<int> state{0};
    int folder = -1;
    char name[NAME_MAX + 1] = {};
};
static_assert(std::atomic<int>::is_always_lock_free);
std::array<TemporaryFile, 16> temporaryFiles;

// The steps that must not be cut short (giving a finished file its name,
// rewriting a file in place) open a section each. A signal is process-wide:
// it may come to any thread, the toolkit's own included, whatever the
// thread in the section holds. So the handler, on whichever thread it runs,
// only notes a signal that comes while any section is open, and the last
// section to close raises it again. Once the handler has begun to end the
// program, no section opens any more.
std::atomic<int> openSections{0};
std::atomic<int> deferredSignal{0};
std::atomic<bool> ending{false};

void onCleanedSignal(int signal) {
    const int savedErrno = errno;
    deferredSignal.store(signal);
    ending.store(true);
    if (openSections.load() > 0) {
        errno = savedErrno;
        return;
    }
    deferredSignal.store(0);
    for (TemporaryFile& file : temporaryFiles) {
        if (file.state.load() == 2) {
            ::unlinkat(file.folder, file.name, 0);
        }
    }
    // The default action follows: the signal, held until the handler
    // returns, is raised again with the handler removed.
    struct sigaction byDefault {};
    byDefault.sa_handler = SIG_DFL;
    ::sigaction(signal, &byDefault, nullptr);
    ::raise(signal);
    errno = savedErrno;
}

// Installs the handler for each cleaned signal still at its default action;
// a program that handles or ignores one keeps its choice.
void installSignalHandlers() {
    for (const int signal : cleanedSignals) {
        struct sigaction current {};
        if (::sigaction(signal, nullptr, &current) != 0 || (current.sa_flags & SA_SIGINFO) != 0 ||
            current.sa_handler != SIG_DFL) {
            continue;
        }
        struct sigaction action {};
        action.sa_handler = onCleanedSignal;
        action.sa_mask = cleanedSignalSet();
        action.sa_flags = SA_RESTART;
        ::sigaction(signal, &action, nullptr);
    }
}

// Gives a slot to the named temporary file `name` of `folder`, or -1 when
// all are taken (the file is then only removed by the next replacement in
// its folder).
int rememberTemporaryFile(int folder, const std::string& name) {
    for (std::size_t i = 0; i < temporaryFiles.size(); ++i) {
        int expected = 0;
        if (temporaryFiles[i].state.compare_exchange_strong(expected, 1)) {
            temporaryFiles[i].folder = folder;
            std::memcpy(temporaryFiles[i].name, name.c_str(), name.size() + 1);
            temporaryFiles[i].state.store(2);
            return static_cast<int>(i);
        }
    }
    return -1;
}

void forgetTemporaryFile(int slot) {
    if (slot >= 0) {
        temporaryFiles[static_cast<std::size_t>(slot)].state.store(0);
    }
}

// A section that the cleaned signals wait for, on every thread of the
// process, while it lives; the calling thread holds them too, so that no
// handler breaks into its system calls.
class SignalsHeld {
public:
    SignalsHeld() {
        installSignalHandlers();
        openSections.fetch_add(1);
        if (ending.load()) {
            // A signal is ending the program: it goes on (raised again here
            // if it waited for this section), and this thread waits for it.
            close();
            for (;;) {
                ::pause();
            }
        }
        const sigset_t set = cleanedSignalSet();
        ::pthread_sigmask(SIG_BLOCK, &set, &m_before);
    }
    SignalsHeld(const SignalsHeld&) = delete;
    SignalsHeld& operator=(const SignalsHeld&) = delete;
    ~SignalsHeld() {
        // A signal held by this thread comes now, and is noted as deferred.
        ::pthread_sigmask(SIG_SETMASK, &m_before, nullptr);
        close();
    }

private:
    static void close() {
        if (openSections.fetch_sub(1) == 1) {
            if (const int signal = deferredSignal.exchange(0); signal != 0) {
                ::raise(signal);
            }
        }
    }

    sigset_t m_before{};
};

// The file-size limit of the process (ulimit -f), if any: a write that
// would end past it fails with EFBIG before it starts, instead of raising
// SIGXFSZ part-way.
std::optional<off_t> fileSizeLimit() {
    rlimit limit{};
    if (::getrlimit(RLIMIT_FSIZE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) {
        return std::nullopt;
    }
    return static_cast<off_t>(limit.rlim_cur);
}

// Removes the temporary files that replacements killed outright left in
// `folder`. A replacement locks its file for as long as it runs, and the
// system releases the lock of a process that ends: a temporary file that
// can be locked has no replacement behind it any more.
void removeLeftovers(int folder) {
    std::vector<std::string> names;
    {
        const int fd = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0) {
            return;
        }
        DIR* dir = ::fdopendir(fd);
        if (dir == nullptr) {
            ::close(fd);
            return;
        }
        while (const dirent* entry = ::readdir(dir)) {
            if (isTemporaryName(entry->d_name)) {
                names.emplace_back(entry->d_name);
            }
        }
        ::closedir(dir);
    }
    for (const std::string& name : names) {
        const Descriptor file(
            ::openat(folder, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        struct stat locked {};
        struct stat named {};
        if (file.isOpen() && ::fstat(file.get(), &locked) == 0 && S_ISREG(locked.st_mode) &&
            ::flock(file.get(), LOCK_EX | LOCK_NB) == 0 &&
            ::fstatat(folder, name.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 &&
            named.st_dev == locked.st_dev && named.st_ino == locked.st_ino) {
            ::unlinkat(folder, name.c_str(), 0);
        }
    }
}

// Writes every byte, through short writes and interruptions: at the file's
// position, or from `offset` on when one is given.
void writeAll(int fd, std::span<const std::uint8_t> bytes, const fs::path& shown,
              std::optional<off_t> offset = std::nullopt) {
    while (!bytes.empty()) {
        const ssize_t written = offset ? ::pwrite(fd, bytes.data(), bytes.size(), *offset)
                                       : ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            failWithErrno(shown);
        }
        if (written == 0) {
            fail(EIO, shown);
        }
        bytes = bytes.subspan(static_cast<std::size_t>(written));
        if (offset) {
            *offset += written;
        }
    }
}

void flush(int fd, const fs::path& shown) {
    if (::fsync(fd) != 0) {
        failWithErrno(shown);
    }
}

// Whether an open file can be given a name through /proc, as an unnamed
// temporary file must be.
bool canNameOpenFiles() {
    static const bool can = ::access("/proc/self/fd", X_OK) == 0;
    return can;
}

bool isStreamable(const struct stat& status) {
    return S_ISFIFO(status.st_mode) || S_ISCHR(status.st_mode);
}

} // namespace

class FileReplacement::State {
public:
    State(const fs::path& path, SpecialFiles special) : m_shown(path) {
        if (special == SpecialFiles::WriteInto && openStream(path)) {
            return;
        }
        const fs::path target = followLinks(path);
        m_name = target.filename().string();
        if (m_name.empty() || m_name == "." || m_name == "..") {
            fail(EISDIR, m_shown);
        }
        const fs::path folder = target.parent_path();
        m_folder.reset(
            ::open(folder.empty() ? "." : folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
        if (!m_folder.isOpen()) {
            failWithErrno(m_shown);
        }
        struct stat old {};
        const bool exists =
            ::fstatat(m_folder.get(), m_name.c_str(), &old, AT_SYMLINK_NOFOLLOW) == 0;
        if (!exists && errno != ENOENT) {
            failWithErrno(m_shown);
        }
        if (exists) {
            checkReplaceable(old);
        }
        try {
            create(exists ? &old : nullptr);
        } catch (...) {
            dropNamedFile(); // no destructor runs for a constructor that throws
            throw;
        }
    }

    State(const State&) = delete;
    State& operator=(const State&) = delete;

    ~State() {
        if (!m_committed) {
            dropNamedFile();
        }
    }

    void write(std::span<const std::uint8_t> bytes) {
        if (m_kind == Kind::InPlace) {
            m_staged.insert(m_staged.end(), bytes.begin(), bytes.end());
            return;
        }
        if (m_kind != Kind::Stream) {
            checkSizeLimit(m_written + static_cast<off_t>(bytes.size()));
        }
        writeAll(m_file.get(), bytes, m_shown);
        m_written += static_cast<off_t>(bytes.size());
    }

    void commit() {
        switch (m_kind) {
        case Kind::Unnamed:
            flush(m_file.get(), m_shown);
            nameAndReplace();
            m_file.reset(); // flushed and in place: nothing left to report
            syncFolder();
            break;
        case Kind::Named:
            flush(m_file.get(), m_shown);
            renameNamed();
            syncFolder();
            break;
        case Kind::InPlace:
            rewriteInPlace();
            break;
        case Kind::Stream:
            m_file.close(m_shown);
            break;
        }
        m_committed = true;
    }

private:
    enum class Kind { Unnamed, Named, InPlace, Stream };

    // A named pipe or a character device at the end of `path` is opened to
    // be written as the bytes come.
    bool openStream(const fs::path& path) {
        struct stat status {};
        if (::stat(path.c_str(), &status) != 0 || !isStreamable(status)) {
            return false;
        }
        // Not blocking: a pipe with no reader fails at once (ENXIO).
        m_file.reset(::open(path.c_str(), O_WRONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
        if (!m_file.isOpen()) {
            if (errno == ENXIO && S_ISFIFO(status.st_mode)) {
                throw FileFailure::noReader(m_shown.string());
            }
            failWithErrno(m_shown);
        }
        if (::fstat(m_file.get(), &status) != 0 || !isStreamable(status)) {
            m_file.reset();
            return false;
        }
        const int flags = ::fcntl(m_file.get(), F_GETFL);
        if (flags < 0 || ::fcntl(m_file.get(), F_SETFL, flags & ~O_NONBLOCK) != 0) {
            failWithErrno(m_shown);
        }
        m_kind = Kind::Stream;
        return true;
    }

    // The path at the end of the symbolic links from `path`, so that a link
    // stays a link and the file it points to is replaced (or made, for a
    // link to a file that does not exist yet).
    fs::path followLinks(fs::path path) const {
        for (int links = 0;; ++links) {
            struct stat status {};
            if (::lstat(path.c_str(), &status) != 0) {
                if (errno == ENOENT) {
                    return path;
                }
                failWithErrno(m_shown);
            }
            if (!S_ISLNK(status.st_mode)) {
                return path;
            }
            if (links == 40) {
                fail(ELOOP, m_shown);
            }
            char buffer[PATH_MAX];
            const ssize_t n = ::readlink(path.c_str(), buffer, sizeof buffer);
            if (n < 0) {
                failWithErrno(m_shown);
            }
            if (static_cast<std::size_t>(n) == sizeof buffer) {
                fail(ENAMETOOLONG, m_shown);
            }
            const fs::path link(std::string(buffer, static_cast<std::size_t>(n)));
            path = link.is_absolute() ? link : path.parent_path() / link;
        }
    }

    void checkReplaceable(const struct stat& old) {
        if (S_ISLNK(old.st_mode)) {
            fail(ELOOP, m_shown); // a link made there since the links were followed
        }
        if (S_ISDIR(old.st_mode)) {
            fail(EISDIR, m_shown);
        }
        if (!S_ISREG(old.st_mode)) {
            throw FileFailure::notARegularFile(m_shown.string());
        }
        // A file the user may not write is not replaced either, although the
        // folder would allow it.
        if (::faccessat(m_folder.get(), m_name.c_str(), W_OK, AT_EACCESS) != 0) {
            failWithErrno(m_shown);
        }
    }

    // Makes the new file beside the old one (`old`, or nullptr when there is
    // none), or chooses to rewrite the old one in place.
    void create(const struct stat* old) {
        removeLeftovers(m_folder.get());
        // Until it has the old file's owner and permissions, the new file is
        // the user's alone; a file that replaces none gets the permissions of
        // a new file (0666 less the umask).
        const mode_t mode = old != nullptr ? 0600 : 0666;
        if (!namedTemporaryFilesOnly && canNameOpenFiles()) {
            m_file.reset(::openat(m_folder.get(), ".", O_TMPFILE | O_RDWR | O_CLOEXEC, mode));
            if (m_file.isOpen()) {
                m_kind = Kind::Unnamed;
                ::flock(m_file.get(), LOCK_EX);
            } else if (errno != EOPNOTSUPP && errno != EISDIR) {
                createFailed(old);
                return;
            }
        }
        if (!m_file.isOpen() && !createNamed(mode)) {
            createFailed(old);
            return;
        }
        if (old != nullptr) {
            keepOwnerAndPermissions(*old);
        }
    }

    // A named temporary file, removed on the cleaned signals; false with
    // errno set when it cannot be made.
    bool createNamed(mode_t mode) {
        installSignalHandlers();
        for (int attempt = 0; attempt < 100; ++attempt) {
            const std::string name = temporaryName();
            int error = 0;
            {
                const SignalsHeld held;
                m_file.reset(::openat(m_folder.get(), name.c_str(),
                                      O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode));
                error = errno;
                if (m_file.isOpen()) {
                    m_temporaryName = name;
                    m_slot = rememberTemporaryFile(m_folder.get(), name);
                }
            }
            if (!m_file.isOpen()) {
                if (error == EEXIST) {
                    continue;
                }
                errno = error;
                return false;
            }
            m_kind = Kind::Named;
            // Locked before it is checked: a replacement that removed it
            // as a leftover in between has taken it from the folder.
            ::flock(m_file.get(), LOCK_EX);
            struct stat status {};
            if (::fstat(m_file.get(), &status) == 0 && status.st_nlink > 0) {
                return true;
            }
            dropNamedFile();
        }
        fail(EEXIST, m_shown);
    }

    // No new file beside an old file the user may write: it is rewritten in
    // place.
    void createFailed(const struct stat* old) {
        if (old != nullptr && (errno == EACCES || errno == EPERM)) {
            m_kind = Kind::InPlace;
            return;
        }
        failWithErrno(m_shown);
    }

    void keepOwnerAndPermissions(const struct stat& old) {
        struct stat made {};
        if (::fstat(m_file.get(), &made) != 0) {
            failWithErrno(m_shown);
        }
        const uid_t owner = old.st_uid == made.st_uid ? static_cast<uid_t>(-1) : old.st_uid;
        const gid_t group = old.st_gid == made.st_gid ? static_cast<gid_t>(-1) : old.st_gid;
        if ((owner != static_cast<uid_t>(-1) || group != static_cast<gid_t>(-1)) &&
            ::fchown(m_file.get(), owner, group) != 0) {
            if (errno != EPERM && errno != EINVAL) {
                failWithErrno(m_shown);
            }
            // The user may not give the file away: the old one, which the
            // user may write, is rewritten in place and stays its owner's.
            dropNamedFile();
            m_file.reset();
            m_kind = Kind::InPlace;
            return;
        }
        // After the owner: a change of owner clears the set-user-ID bit.
        if (::fchmod(m_file.get(), old.st_mode & 07777) != 0) {
            failWithErrno(m_shown);
        }
    }

    void dropNamedFile() {
        if (!m_temporaryName.empty()) {
            ::unlinkat(m_folder.get(), m_temporaryName.c_str(), 0);
            forgetTemporaryFile(m_slot);
            m_temporaryName.clear();
            m_slot = -1;
        }
    }

    // Moves the complete named file over the old one. Its lock stays until
    // its name is in place: a replacement that cleans up the folder takes a
    // temporary file it can lock for a leftover, and would remove this one.
    // The lock belongs to the open file, so a second descriptor keeps it
    // while the first is closed (where a deferred write can still fail).
    void renameNamed() {
        const Descriptor locked(::fcntl(m_file.get(), F_DUPFD_CLOEXEC, 0));
        if (!locked.isOpen()) {
            failWithErrno(m_shown);
        }
        m_file.close(m_shown);
        const SignalsHeld held;
        if (::renameat(m_folder.get(), m_temporaryName.c_str(), m_folder.get(), m_name.c_str()) !=
            0) {
            failWithErrno(m_shown);
        }
        forgetTemporaryFile(m_slot);
        m_slot = -1;
        m_temporaryName.clear();
    }

    // Gives the complete unnamed file a temporary name and moves it over the
    // old one, with the cleaned signals held so that the name never outlives
    // the two steps (short of a kill that nothing can catch).
    void nameAndReplace() {
        const std::string open = "/proc/self/fd/" + std::to_string(m_file.get());
        const SignalsHeld held;
        for (int attempt = 0;; ++attempt) {
            const std::string name = temporaryName();
            if (::linkat(AT_FDCWD, open.c_str(), m_folder.get(), name.c_str(), AT_SYMLINK_FOLLOW) !=
                0) {
                if (errno == EEXIST && attempt < 100) {
                    continue;
                }
                failWithErrno(m_shown);
            }
            if (::renameat(m_folder.get(), name.c_str(), m_folder.get(), m_name.c_str()) != 0) {
                const int error = errno;
                ::unlinkat(m_folder.get(), name.c_str(), 0);
                fail(error, m_shown);
            }
            return;
        }
    }

    // A write that would end at `end` fails before it starts where the
    // file-size limit does not reach that far.
    void checkSizeLimit(off_t end) const {
        if (m_sizeLimit && end > *m_sizeLimit) {
            fail(EFBIG, m_shown);
        }
    }

    // Rewrites the old file with the staged bytes. Writers of one file take
    // turns (a lock on the file), and the cleaned signals wait until the
    // file is whole again, on every thread. What remains is a kill that
    // nothing can catch (SIGKILL, a power cut) while the bytes are written:
    // the file may then hold new bytes over old ones, at its old length or
    // more.
    void rewriteInPlace() {
        Descriptor file(::openat(m_folder.get(), m_name.c_str(),
                                 O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
        struct stat old {};
        if (!file.isOpen() || ::fstat(file.get(), &old) != 0) {
            failWithErrno(m_shown);
        }
        if (!S_ISREG(old.st_mode)) {
            throw FileFailure::notARegularFile(m_shown.string());
        }
        while (::flock(file.get(), LOCK_EX) != 0) {
            if (errno != EINTR) {
                failWithErrno(m_shown);
            }
        }
        const SignalsHeld held;
        // The length the last writer left.
        if (::fstat(file.get(), &old) != 0) {
            failWithErrno(m_shown);
        }
        const auto length = static_cast<off_t>(m_staged.size());
        // The limit applies to every write that ends past it, also where the
        // file does not grow.
        checkSizeLimit(length);
        if (length > old.st_size &&
            ::fallocate(file.get(), FALLOC_FL_KEEP_SIZE, 0, length) != 0 &&
            errno != EOPNOTSUPP && errno != ENOSYS) {
            failWithErrno(m_shown); // room for every byte before the first one changes
        }
        writeAll(file.get(), m_staged, m_shown, 0);
        flush(file.get(), m_shown);
        if (length < old.st_size) {
            if (::ftruncate(file.get(), length) != 0) {
                failWithErrno(m_shown);
            }
            flush(file.get(), m_shown);
        }
        file.close(m_shown);
    }

    // Makes the replacement itself durable. The new file is already in
    // place, so a failure here is not reported.
    void syncFolder() {
        const Descriptor folder(::openat(m_folder.get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (folder.isOpen()) {
            ::fsync(folder.get());
        }
    }

    Kind m_kind = Kind::Unnamed;
    Descriptor m_folder;
    std::string m_name;
    Descriptor m_file;
    std::string m_temporaryName; // of a named temporary file not yet in place
    fs::path m_shown;            // the path as the caller named it, for failures
    int m_slot = -1;
    std::vector<std::uint8_t> m_staged; // the bytes of an in-place rewrite
    std::optional<off_t> m_sizeLimit = fileSizeLimit();
    off_t m_written = 0; // into the new file
    bool m_committed = false;
};

FileReplacement::FileReplacement(const fs::path& path, SpecialFiles special)
    : m_state(std::make_unique<State>(path, special)) {}

FileReplacement::~FileReplacement() = default;

void FileReplacement::write(std::span<const std::uint8_t> bytes) {
    m_state->write(bytes);
}

void FileReplacement::write(std::string_view text) {
    m_state->write({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
}

void FileReplacement::commit() {
    m_state->commit();
}

void replaceFile(const fs::path& path, std::span<const std::uint8_t> bytes, SpecialFiles special) {
    FileReplacement file(path, special);
    file.write(bytes);
    file.commit();
}

void useNamedTemporaryFilesOnly(bool namedOnly) {
    namedTemporaryFilesOnly = namedOnly;
}

} // namespace vantero
