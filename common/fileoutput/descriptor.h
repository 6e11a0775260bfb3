#pragma once

#include "common/numbers/failure.h"

#include <cerrno>
#include <filesystem>
#include <unistd.h>

namespace vantero {

// An open file descriptor, closed when it goes out of scope.
class Descriptor {
public:
    Descriptor() = default;
    explicit Descriptor(int fd) : m_fd(fd) {}
    Descriptor(Descriptor&& other) noexcept : m_fd(other.release()) {}
    Descriptor& operator=(Descriptor&& other) noexcept {
        if (this != &other) {
            reset(other.release());
        }
        return *this;
    }
    ~Descriptor() { reset(); }

    int get() const { return m_fd; }
    bool isOpen() const { return m_fd >= 0; }
    int release() {
        const int fd = m_fd;
        m_fd = -1;
        return fd;
    }
    void reset(int fd = -1) {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
        m_fd = fd;
    }
    // Closes now, reporting a failure of the close itself (a write the system
    // had deferred can fail here) as FileFailure naming `path`.
    void close(const std::filesystem::path& path) {
        if (::close(release()) != 0) {
            throw FileFailure(errno, path.string());
        }
    }

private:
    int m_fd = -1;
};

} // namespace vantero
