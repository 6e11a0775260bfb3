#pragma once

#include "calculators/registry.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace vantero::python {

// The distinct texts of a sweep's message column, numbered as they come: 0 is
// the empty text. Shared by the threads of a sweep.
class MessageTable {
public:
    MessageTable();
    std::uint16_t code(std::string_view text);
    // The texts by code (read once the sweep is over).
    const std::vector<std::string>& texts() const { return m_texts; }

private:
    std::mutex m_mutex;
    std::vector<std::string> m_texts;
    std::unordered_map<std::string, std::uint16_t> m_codes;
};

// Where a sweep writes point i: at index i of each column. A distance the
// run did not set is NaN; limitedBy is 0 when the run set none, else 1 +
// the LimitingFactor; message is the code of the rise-time message or of the
// fault's text in the table.
struct SweepColumns {
    double* powerDistance;
    double* riseTimeDistance;
    double* maximumDistance;
    std::uint8_t* limitedBy;
    std::uint16_t* message;
    MessageTable* messages;
    // The swept input's value, when given.
    double* input = nullptr;
};

// The text of a limitedBy code, as the sweep's CSV writes it.
std::string_view limitedByText(std::uint8_t code);

// Writes points into the columns, for one thread: the codes of the fixed
// texts it has met are kept at hand, so that the table's lock is taken only
// for a text not met before.
class PointWriter {
public:
    explicit PointWriter(const SweepColumns& columns) : m_columns(columns) {}
    // Writes `point` at index `i` of the columns.
    void store(const SweepPoint& point, std::size_t i);

private:
    std::uint16_t fixedTextCode(std::string_view text);

    struct Known {
        const char* data;
        std::size_t size;
        std::uint16_t code;
    };
    SweepColumns m_columns;
    std::vector<Known> m_known;
};

// The work of one thread on items [first, end).
using ItemWork = std::function<void(std::size_t first, std::size_t end)>;

// Runs items 0 .. count - 1, a block of them at a time in no set order, on up
// to `workers` threads, each with the work `makeWork` gives it on that thread
// (with its own copy of a session, say); with one worker, or none that could
// start, on the calling thread. The calling thread asks `interrupted` every
// few hundredths of a second; when it answers true, the threads stop and
// this gives false. A failure of any thread (memory running out) stops them
// all and is thrown here.
bool runItemBlocks(std::size_t count, unsigned workers, const std::function<ItemWork()>& makeWork,
                   const std::function<bool()>& interrupted);

// Runs the session's calculator at each of `values` of its numeric input
// `input`, on the session's other figures (the session itself is left as it
// is), writing point i at index i of the columns, by runItemBlocks: each
// thread on its own copy of the session; false when interrupted.
bool sweepInto(const Session& session, std::size_t input, std::span<const double> values,
               const SweepColumns& columns, unsigned workers,
               const std::function<bool()>& interrupted);

} // namespace vantero::python
