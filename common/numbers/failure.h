#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace vantero {

// Base of every failure the calculators report. Its text is what the user is
// shown in the application's error box, without the final full stop.
class Failure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;

    std::string text() const { return what(); }
};

enum class FaultKind { DivisionByZero, InvalidOperation, Overflow };

// A floating-point fault trapped at the step where it happened.
class ArithmeticFault final : public Failure {
public:
    explicit ArithmeticFault(FaultKind kind);

    FaultKind kind() const { return m_kind; }

private:
    FaultKind m_kind;
};

std::string_view faultText(FaultKind kind);

// Text typed into a numeric field that is not a number.
class NumberFormatFailure final : public Failure {
public:
    // typed: the text exactly as typed; input: the name of the input that held
    // it (empty when the caller does not know it).
    NumberFormatFailure(std::string typed, std::string input = {});

    const std::string& typed() const { return m_typed; }
    const std::string& input() const { return m_input; }

private:
    std::string m_typed;
    std::string m_input;
};

// A file that could not be read or written. errorNumber is the system's
// error number (errno), or 0 for a failure the system does not report: a read
// beyond the end of the file, a path that names no regular file. path names
// the file (or "standard output") for those who show it beside the text.
class FileFailure final : public Failure {
public:
    explicit FileFailure(int errorNumber, std::string path = {});
    static FileFailure readBeyondEnd(std::string path = {});
    // A device, a named pipe or a socket where a file was to be replaced.
    static FileFailure notARegularFile(std::string path = {});
    // A named pipe opened to be written that no process reads (ENXIO).
    static FileFailure noReader(std::string path = {});
    // A named pipe read before its writer wrote anything (EAGAIN).
    static FileFailure nothingWrittenYet(std::string path = {});

    int errorNumber() const { return m_errorNumber; }
    bool isReadBeyondEnd() const { return m_readBeyondEnd; }
    const std::string& path() const { return m_path; }

private:
    FileFailure(std::string text, int errorNumber, bool readBeyondEnd, std::string path);
    int m_errorNumber;
    bool m_readBeyondEnd;
    std::string m_path;
};

std::string fileFailureText(int errorNumber);

} // namespace vantero
