#pragma once

#include <cstdio>
#include <filesystem>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include <unistd.h>

namespace vantero::sorvik3 {

// Sends standard error (the descriptor itself, as the library writes to it)
// to a temporary file while the object lives; lines() ends the capture early
// and gives what was written.
class StderrCapture {
public:
    StderrCapture() : m_file(std::tmpfile()) {
        if (m_file == nullptr) {
            throw std::runtime_error("no temporary file for standard error");
        }
        std::fflush(stderr);
        m_saved = dup(STDERR_FILENO);
        if (m_saved < 0 || dup2(fileno(m_file), STDERR_FILENO) < 0) {
            std::fclose(m_file);
            throw std::runtime_error("standard error cannot be redirected");
        }
    }
    StderrCapture(const StderrCapture&) = delete;
    StderrCapture& operator=(const StderrCapture&) = delete;
    ~StderrCapture() {
        restore();
        std::fclose(m_file);
    }

    std::vector<std::string> lines() {
        restore();
        std::string text;
        std::rewind(m_file);
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, m_file)) > 0;) {
            text.append(buffer, n);
        }
        std::vector<std::string> result;
        std::istringstream stream(text);
        for (std::string line; std::getline(stream, line);) {
            result.push_back(line);
        }
        if (!text.empty() && text.back() != '\n') {
            result.back() += "<no end of line>";
        }
        return result;
    }

private:
    void restore() {
        if (m_saved >= 0) {
            std::fflush(stderr);
            dup2(m_saved, STDERR_FILENO);
            close(m_saved);
            m_saved = -1;
        }
    }

    std::FILE* m_file;
    int m_saved = -1;
};

// The lines the library writes for a math error of log10 in this program.
inline std::string log10Error(const char* kind) {
    static const std::string program =
        std::filesystem::read_symlink("/proc/self/exe").filename().string();
    return program + ": log10: " + kind + " error";
}

} // namespace vantero::sorvik3
