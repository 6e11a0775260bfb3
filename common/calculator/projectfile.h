#pragma once

#include "common/calculator/real48.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace vantero {

// A project file is a plain sequence of six-byte reals, one record per
// numeric field and per choice of the window, in a fixed order, with nothing
// before, between or after them. Each program describes its file as a
// ProjectLayout; the functions below serve every layout alike.

enum class RecordKind { Number, Choice };

// One record of a layout.
struct ProjectRecord {
    RecordKind kind;
    // The input of the calculation the record feeds ("spliceLoss",
    // "lineCode"), or the window's own name for a choice no calculation reads
    // ("lightSource"). A field that does not hold a number is reported with
    // this name.
    std::string_view input;
    // A choice's codes are 1.0 to codeCount: the selected item's index + 1.
    int codeCount = 0;
};

// The file of one program: its extension (lower case, with the dot) and its
// records in file order. A calculator builds its layout from the names of its
// inputs and choices (projectRecords in common/fields.h).
struct ProjectLayout {
    std::string_view extension;
    std::span<const ProjectRecord> records;

    std::size_t byteCount() const { return records.size() * real48Size; }
};

// What the window holds for one record: the text of a numeric field, or the
// index of a choice's selected item (std::nullopt when nothing is selected).
using ChoiceIndex = std::optional<int>;
using RecordEntry = std::variant<std::string, ChoiceIndex>;

// The bytes of a project file holding `entries`, one per record of `layout`
// in its order. Each text is parsed by the number rules and stored as its
// six-byte real; a choice is stored as its index + 1, and a choice with
// nothing selected as 0.0, so that every file has its full length. The first
// record that fails stops the encoding: a text that is not a number throws
// NumberFormatFailure naming the record's input, and a value beyond the range
// of the six-byte real throws the overflow fault.
//
// Entries that do not match the layout (their number, a text for a choice or
// an index outside its codes) are a fault of the caller: std::invalid_argument.
std::vector<std::uint8_t> encodeProject(const ProjectLayout& layout,
                                        std::span<const RecordEntry> entries);

// The value of every record of `layout` in `bytes`. A buffer shorter than the
// layout throws FileFailure::readBeyondEnd() and gives nothing; bytes after
// the layout's length are ignored.
std::vector<double> decodeRecordValues(const ProjectLayout& layout,
                                       std::span<const std::uint8_t> bytes);

// The entries a window takes from `bytes`, all or nothing as
// decodeRecordValues: for a numeric field its value with three decimals
// ("1330.000"; from 1e36 in an exponent form with as many more decimals as it
// takes to be saved as the same six bytes again, "1.23456789E+37"), for a
// choice the index whose code (index + 1) the record holds exactly, or
// std::nullopt when it holds no code of the choice (0.0, 2.5, ...).
std::vector<RecordEntry> decodeProject(const ProjectLayout& layout,
                                       std::span<const std::uint8_t> bytes);

// Writes `entries` to the file `path`, replacing any file of that name. The
// whole file is encoded first, so that a field that fails stops the save
// before any file is touched; the file is then replaced as replaceFile
// (common/filereplacement.h) replaces it: all or nothing, keeping its owner,
// group and permissions, through a symbolic link the file it points to, and
// nothing that is not a regular file ("Not a regular file"). A file the user
// may not write is not replaced ("File access denied"). A file error throws
// FileFailure with the system's error number.
void saveProject(const ProjectLayout& layout, const std::filesystem::path& path,
                 std::span<const RecordEntry> entries);

// Reads the project file `path` and gives its entries (decodeProject). A file
// error throws FileFailure; a file shorter than the layout throws
// FileFailure::readBeyondEnd().
std::vector<RecordEntry> loadProject(const ProjectLayout& layout,
                                     const std::filesystem::path& path);

// Whether `path` names a file of this extension: its last component (after
// the last "/", and also "\" on Windows) ends in the extension, letters in
// either case. A last component shorter than the extension never counts; one
// that is the extension alone (".dig") does.
bool isProjectPath(std::string_view path, std::string_view extension);

// The refusal of a file whose name lacks the program's extension.
inline constexpr const char* cannotOpenWarning = "O VANTERO não pode abrir este arquivo";

// The name a save uses for the chosen `path`: the path itself when it is a
// path of this extension, else the path with the extension appended.
std::string projectPathForSaving(std::string_view path, std::string_view extension);

// The name a save uses for the chosen `path`, as projectPathForSaving gives
// it, once the chosen name is one a project can be saved under. An empty
// name, or one that names a folder (its last component empty, "." or "..",
// or an existing folder), fails with "Invalid filename"; one that names a
// device, a named pipe or a socket, also through links, with "Not a regular
// file". Nothing is made of it ("/" would give "/.dig", "/dev/null" would give
// "/dev/null.dig").
std::string projectFileForSaving(std::string_view path, std::string_view extension);

} // namespace vantero
