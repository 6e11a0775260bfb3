#pragma once

#include <memory>
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

    // Throws a copy of this failure with its own dynamic type, so that a
    // failure kept in a result record can be raised again where it is shown.
    [[noreturn]] virtual void raise() const = 0;
    virtual std::shared_ptr<const Failure> clone() const = 0;
};

enum class FaultKind { DivisionByZero, InvalidOperation, Overflow };

// A floating-point fault trapped at the step where it happened.
class ArithmeticFault final : public Failure {
public:
    explicit ArithmeticFault(FaultKind kind);

    FaultKind kind() const { return m_kind; }
    [[noreturn]] void raise() const override { throw *this; }
    std::shared_ptr<const Failure> clone() const override;

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
    // The same failure, now naming the input that held the text.
    NumberFormatFailure forInput(std::string input) const { return {m_typed, std::move(input)}; }

    [[noreturn]] void raise() const override { throw *this; }
    std::shared_ptr<const Failure> clone() const override;

private:
    std::string m_typed;
    std::string m_input;
};

// A file that could not be read or written. errorNumber is the system's
// error number (errno), or 0 for a failure the system does not report: a read
// beyond the end of the file, a path that names no regular file.
class FileFailure final : public Failure {
public:
    explicit FileFailure(int errorNumber);
    static FileFailure readBeyondEnd();
    // A device, a named pipe or a socket where a file was to be replaced.
    static FileFailure notARegularFile();

    int errorNumber() const { return m_errorNumber; }
    bool isReadBeyondEnd() const { return m_readBeyondEnd; }

    [[noreturn]] void raise() const override { throw *this; }
    std::shared_ptr<const Failure> clone() const override;

private:
    FileFailure(int errorNumber, bool readBeyondEnd);
    explicit FileFailure(std::string text);
    int m_errorNumber;
    bool m_readBeyondEnd;
};

std::string fileFailureText(int errorNumber);

} // namespace vantero
