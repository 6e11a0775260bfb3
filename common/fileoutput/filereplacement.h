#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <string_view>

namespace vantero {

// Every file the programs write by name (a project file, a CSV, a picture)
// goes through a FileReplacement. What it guarantees:
//
// - All or nothing. The bytes go to a new file in the folder of the file they
//   replace, which takes its place only on commit, once every byte is written
//   and flushed to disk. Until then, and after any failure, the old file is
//   as it was. A replacement that is destroyed or fails before its commit is
//   abandoned, and nothing of it is left in the folder.
// - No stray files. The new file has no name until it is complete where the
//   file system allows it, and then only for the instant before it takes the
//   old one's place; elsewhere it is named ".vantero-PID-N.tmp" and removed
//   on the signals that end a program and can be caught (SIGHUP, SIGINT,
//   SIGQUIT, SIGTERM, SIGALRM, SIGUSR1, SIGUSR2, SIGXCPU, SIGXFSZ, SIGVTALRM,
//   SIGPROF, where the program left them to their default action, which
//   follows). Those signals wait, on whichever thread they come, while a
//   file is given its name or rewritten in place. A process killed outright
//   can leave a temporary file behind: the next replacement in that folder
//   removes it.
// - Within the file-size limit (ulimit -f). A write that would end past it
//   fails with EFBIG ("Disk full") before it starts, whatever the program
//   does with SIGXFSZ.
// - Only regular files are replaced. A path that ends in a device, a named
//   pipe or a socket, directly or through symbolic links, is refused with
//   FileFailure::notARegularFile() ("Not a regular file"), a folder with
//   "Invalid filename"; nothing is touched. Through a symbolic link the file
//   it points to is replaced and the link stays a link.
// - The replaced file keeps its owner, group and permissions. A file the user
//   may not write is refused ("File access denied"), even where the folder
//   would let it be replaced.
// - Where the new file cannot be made beside the old one (a folder the user
//   may not write) or could not keep the old one's owner (another user's
//   group-writable file, a file in a sticky folder), the old file is
//   rewritten in place, on commit, once all the bytes are known: the space is
//   reserved first, the bytes are rewritten from the start and flushed, and
//   only then is the file cut to its new length, so that it is never shorter
//   than before while it is written. Bytes written before the commit are then
//   held in memory. Writers of one file take turns (each locks the file for
//   its rewrite), and the signals above wait until the file is whole. One
//   window remains: a kill that cannot be caught (SIGKILL, a power cut)
//   while the bytes are written leaves new bytes over old ones.
//
// Failures throw FileFailure with the system's error number.

// What a path that names no regular file gets.
enum class SpecialFiles {
    // Refused (project files).
    Refuse,
    // A named pipe or a character device (a terminal, /dev/null,
    // /dev/stdout) is written as the bytes come, without replacement; a
    // pipe with no reader fails at once rather than waiting for one. Other
    // special files are refused.
    WriteInto,
};

class FileReplacement {
public:
    // Starts the replacement of `path`: checks the file and makes the new one.
    explicit FileReplacement(const std::filesystem::path& path,
                             SpecialFiles special = SpecialFiles::Refuse);
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;
    // Abandons the replacement unless it was committed.
    ~FileReplacement();

    void write(std::span<const std::uint8_t> bytes);
    void write(std::string_view text);

    // Puts the new file in the place of the old one. After a failure here the
    // replacement is abandoned and the old file is as it was, except where an
    // in-place rewrite fails once its bytes are being written (an I/O error):
    // the file may then hold new bytes over old ones, at its old length or
    // more.
    void commit();

private:
    class State;
    std::unique_ptr<State> m_state;
};

// Replaces the file `path` with `bytes`, as FileReplacement does.
void replaceFile(const std::filesystem::path& path, std::span<const std::uint8_t> bytes,
                 SpecialFiles special = SpecialFiles::Refuse);

// For tests: whether replacements use named temporary files only, as on a
// file system without unnamed ones.
void useNamedTemporaryFilesOnly(bool namedOnly);

} // namespace vantero
