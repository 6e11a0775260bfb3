// Any bytes opened as a project file of each calculator: the reader gives every
// record or nothing, and what it gives the window saves and reopens alike.

#include "calculators/registry.h"
#include "common/calculator/projectfile.h"
#include "common/numbers/failure.h"
#include "fuzz/check.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

using vantero::fuzz::check;

namespace {

using namespace vantero;


void openAndSaveAgain(const ProjectLayout& layout, std::span<const std::uint8_t> bytes) {
    std::vector<RecordEntry> opened;
    try {
        opened = decodeProject(layout, bytes);
    } catch (const FileFailure& failure) {
        check(failure.isReadBeyondEnd() && bytes.size() < layout.byteCount());
        return;
    }
    check(opened.size() == layout.records.size());
    // The window saves what it opened: no failure, the same choices and the
    // same values from 1e36 up. The other fields come back as their
    // three-decimal texts, which a second round leaves as they are.
    const std::vector<std::uint8_t> saved = encodeProject(layout, opened);
    const std::vector<RecordEntry> reopened = decodeProject(layout, saved);
    const std::vector<double> values = decodeRecordValues(layout, bytes);
    for (std::size_t i = 0; i < opened.size(); ++i) {
        if (layout.records[i].kind == RecordKind::Choice) {
            check(reopened[i] == opened[i]);
        } else if (std::fabs(values[i]) >= 1e36) {
            // The exponent form carries every digit the record holds.
            const std::size_t at = i * real48Size;
            check(std::equal(saved.begin() + static_cast<std::ptrdiff_t>(at),
                             saved.begin() + static_cast<std::ptrdiff_t>(at + real48Size),
                             bytes.begin() + static_cast<std::ptrdiff_t>(at)));
        }
    }
    check(decodeProject(layout, encodeProject(layout, reopened)) == reopened);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    for (const Calculator* calculator : calculators()) {
        openAndSaveAgain(calculator->layout(), bytes);
    }
    // Every six bytes with a non-zero exponent are a value written back to
    // the same six bytes; a zero exponent is zero.
    for (std::size_t at = 0; at + real48Size <= size; at += real48Size) {
        const auto record = bytes.subspan(at).first<real48Size>();
        const double value = fromReal48(record);
        if (record[0] == 0) {
            check(value == 0);
        } else {
            const Real48 again = toReal48(value);
            check(std::equal(again.begin(), again.end(), record.begin()));
        }
    }
    return 0;
}
