#include "common/numbers/failure.h"

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

NumberFormatFailure::NumberFormatFailure(std::string typed, std::string input)
    : Failure("\"" + typed + "\" não é um número válido"), m_typed(std::move(typed)),
      m_input(std::move(input)) {}

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
    case EBADF: // a standard stream the caller closed
        return "File not open";
    case ENXIO: // a device that is not there (a pipe: FileFailure::noReader)
    case ENODEV:
        return "No such device";
    case EPIPE:
        return "No process reads the pipe";
    case EAGAIN: // a pipe or device that would have to be waited for
        return "Not ready";
    default:
        return "I/O error " + std::to_string(errorNumber);
    }
}

FileFailure::FileFailure(std::string text, int errorNumber, bool readBeyondEnd, std::string path)
    : Failure(std::move(text)), m_errorNumber(errorNumber), m_readBeyondEnd(readBeyondEnd),
      m_path(std::move(path)) {}

FileFailure::FileFailure(int errorNumber, std::string path)
    : FileFailure(fileFailureText(errorNumber), errorNumber, false, std::move(path)) {}

FileFailure FileFailure::readBeyondEnd(std::string path) {
    return FileFailure("Read beyond end of file", 0, true, std::move(path));
}

FileFailure FileFailure::notARegularFile(std::string path) {
    return FileFailure("Not a regular file", 0, false, std::move(path));
}

FileFailure FileFailure::noReader(std::string path) {
    return FileFailure("No process reads the pipe", ENXIO, false, std::move(path));
}

FileFailure FileFailure::nothingWrittenYet(std::string path) {
    return FileFailure("Nothing written to the pipe yet", EAGAIN, false, std::move(path));
}

} // namespace vantero
