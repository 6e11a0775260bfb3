#pragma once

// What the tests of files share: a folder of their own, file contents, a
// child process for what must not change the test process (the user, the
// limits), and a small disk of its own.

#include "common/numbers/failure.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <grp.h>
#include <iterator>
#include <stdexcept>
#include <string>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace vantero::filetesting {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;
using Names = std::vector<std::string>;

// The failure text an action throws, or "" when it throws none.
inline std::string failureOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const Failure& failure) {
        return failure.text();
    }
    return "";
}

// A folder made for one test, removed with everything in it at the end.
class TestFolder {
public:
    TestFolder() {
        std::string pattern = (fs::temp_directory_path() / "vantero-files-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("no test folder");
        }
        m_path = pattern;
        fs::permissions(m_path, fs::perms::owner_all | fs::perms::group_read |
                                    fs::perms::group_exec | fs::perms::others_read |
                                    fs::perms::others_exec);
    }
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;
    ~TestFolder() {
        std::error_code ignored;
        fs::permissions(m_path, fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(m_path, ignored);
    }

    const fs::path& path() const { return m_path; }
    fs::path operator/(const char* name) const { return m_path / name; }

    Names names() const {
        Names names;
        for (const auto& entry : fs::directory_iterator(m_path)) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    fs::path m_path;
};

inline Bytes contents(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void writeContents(const fs::path& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

// Runs `action` in a child process after `prepare`, so that what `prepare`
// changes (the user, the limits) stays in the child, and gives back the text
// of the failure the action threw, or "saved".
inline std::string inChildProcess(const std::function<void()>& prepare,
                                  const std::function<void()>& action) {
    int channel[2];
    if (::pipe(channel) != 0) {
        return "no pipe";
    }
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        std::string report;
        try {
            prepare();
            action();
            report = "saved";
        } catch (const Failure& failure) {
            report = failure.text();
        } catch (const std::exception& other) {
            report = std::string("unexpected: ") + other.what();
        }
        (void)!::write(channel[1], report.data(), report.size());
        ::_exit(0);
    }
    ::close(channel[1]);
    std::string report;
    char buffer[256];
    ssize_t n = 0;
    while ((n = ::read(channel[0], buffer, sizeof buffer)) > 0) {
        report.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(channel[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        return "the child process did not end normally: " + report;
    }
    return report;
}

// The permissions of a file or folder, given back when it goes out of scope.
class Permissions {
public:
    Permissions(const fs::path& path, fs::perms perms)
        : m_path(path), m_before(fs::status(path).permissions()) {
        fs::permissions(path, perms);
    }
    Permissions(const Permissions&) = delete;
    Permissions& operator=(const Permissions&) = delete;
    ~Permissions() {
        std::error_code ignored;
        fs::permissions(m_path, m_before, ignored);
    }

private:
    fs::path m_path;
    fs::perms m_before;
};

// The user and group nobody, whom the tests run as to meet permissions (the
// superuser passes them all).
inline constexpr uid_t nobody = 65534;
inline constexpr gid_t nogroup = 65534;

// Leaves the superuser, who may write into any folder, for nobody, and
// checks that `file` can still be read.
inline void becomeAnOrdinaryUser(const fs::path& file) {
    if (::geteuid() == 0 &&
        (::setgroups(0, nullptr) != 0 || ::setgid(nogroup) != 0 || ::setuid(nobody) != 0)) {
        throw std::runtime_error("cannot leave the superuser");
    }
    if (::access(file.c_str(), R_OK) != 0) {
        throw std::runtime_error("the test folder cannot be reached");
    }
}

// The file-size limit stands for a full disk: a write past it fails.
inline void leaveRoomForTenBytes(const fs::path& /*file*/) {
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{};
    ::getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = 10;
    if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) {
        throw std::runtime_error("cannot lower the file-size limit");
    }
}

inline constexpr fs::perms readOnly =
    fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read;
inline constexpr fs::perms readAndSearch =
    readOnly | fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec;

// A disk of 64 KiB of its own (a tmpfs) on a folder, for as long as it
// lives, where the test may mount one (as the superuser, where mounts are
// allowed). Elsewhere mounted() is false and the tests make do with the
// file-size limit.
class SmallDisk {
public:
    explicit SmallDisk(const fs::path& folder) : m_folder(folder) {
        m_mounted = ::geteuid() == 0 && ::mount("vantero-test", folder.c_str(), "tmpfs",
                                                MS_NOSUID | MS_NODEV, "size=64k,mode=0755") == 0;
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;
    ~SmallDisk() {
        if (m_mounted) {
            ::umount2(m_folder.c_str(), MNT_DETACH);
        }
    }

    bool mounted() const { return m_mounted; }

    // Fills what is left of the disk with the file `name`.
    void fill(const char* name) const {
        const int fd = ::open((m_folder / name).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const std::vector<char> block(4096, 'x');
        while (fd >= 0 && ::write(fd, block.data(), block.size()) > 0) {
        }
        if (fd >= 0) {
            ::close(fd);
        }
    }

private:
    fs::path m_folder;
    bool m_mounted = false;
};

} // namespace vantero::filetesting
