#include "common/failure.h"

#include <cerrno>
#include <utility>

namespace vantero {

std::string_view faultText(FaultKind kind) {
    switch (kind) {
    case FaultKind::DivisionByZero:
        return "Floating point division by zero";
    case FaultKind::InvalidOperation:
        return "Invalid floating point operation";
    case FaultKind::Overflow:
        return "Floating point overflow";
    }
    return "Invalid floating point operation";
}

ArithmeticFault::ArithmeticFault(FaultKind kind)
    : Failure(std::string(faultText(kind))), m_kind(kind) {}

std::shared_ptr<const Failure> ArithmeticFault::clone() const {
    return std::make_shared<ArithmeticFault>(*this);
}

NumberFormatFailure::NumberFormatFailure(std::string typed, std::string input)
    : Failure("\"" + typed + "\" não é um número válido"), m_typed(std::move(typed)),
      m_input(std::move(input)) {}

std::shared_ptr<const Failure> NumberFormatFailure::clone() const {
    return std::make_shared<NumberFormatFailure>(*this);
}

std::string fileFailureText(int errorNumber) {
    switch (errorNumber) {
    case ENOENT:
        return "File not found";
    case ENAMETOOLONG:
    case EINVAL:
    case EISDIR:
    case ENOTDIR:
    case ELOOP:
    case EILSEQ: // a name the file system cannot hold
        return "Invalid filename";
    case EMFILE:
    case ENFILE:
        return "Too many open files";
    case EACCES:
    case EPERM:
    case EROFS:
        return "File access denied";
    case ENOSPC:
    case EDQUOT:
    case EFBIG: // the file-size limit: no more room for this file
        return "Disk full";
    default:
        return "I/O error " + std::to_string(errorNumber);
    }
}

FileFailure::FileFailure(int errorNumber, bool readBeyondEnd)
    : Failure(readBeyondEnd ? std::string("Read beyond end of file")
                            : fileFailureText(errorNumber)),
      m_errorNumber(errorNumber), m_readBeyondEnd(readBeyondEnd) {}

FileFailure::FileFailure(int errorNumber) : FileFailure(errorNumber, false) {}

FileFailure FileFailure::readBeyondEnd() {
    return FileFailure(0, true);
}

FileFailure::FileFailure(std::string text)
    : Failure(std::move(text)), m_errorNumber(0), m_readBeyondEnd(false) {}

FileFailure FileFailure::notARegularFile() {
    return FileFailure(std::string("Not a regular file"));
}

std::shared_ptr<const Failure> FileFailure::clone() const {
    return std::make_shared<FileFailure>(*this);
}

} // namespace vantero
