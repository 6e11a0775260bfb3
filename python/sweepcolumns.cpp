#include "python/sweepcolumns.h"

#include "common/numbers/failure.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <exception>
#include <limits>
#include <memory>
#include <optional>
#include <stdexcept>
#include <system_error>
#include <thread>

namespace vantero::python {

MessageTable::MessageTable() : m_texts{std::string()} {
    m_codes.emplace(std::string(), 0);
}

std::uint16_t MessageTable::code(std::string_view text) {
    const std::lock_guard lock(m_mutex);
    std::string key(text);
    if (const auto found = m_codes.find(key); found != m_codes.end()) {
        return found->second;
    }
    if (m_texts.size() > std::numeric_limits<std::uint16_t>::max()) {
        throw std::length_error("a sweep with more different messages than it can keep");
    }
    const auto code = static_cast<std::uint16_t>(m_texts.size());
    m_texts.push_back(key);
    m_codes.emplace(std::move(key), code);
    return code;
}

std::string_view limitedByText(std::uint8_t code) {
    switch (code) {
    case 1 + static_cast<int>(LimitingFactor::Attenuation):
        return "Attenuation";
    case 1 + static_cast<int>(LimitingFactor::Dispersion):
        return "Dispersion";
    default:
        return {};
    }
}

std::uint16_t PointWriter::fixedTextCode(std::string_view text) {
    for (const Known& known : m_known) {
        if (known.data == text.data() && known.size == text.size()) {
            return known.code;
        }
    }
    const std::uint16_t code = m_columns.messages->code(text);
    m_known.push_back({text.data(), text.size(), code});
    return code;
}

void PointWriter::store(const SweepPoint& point, std::size_t i) {
    constexpr double none = std::numeric_limits<double>::quiet_NaN();
    m_columns.powerDistance[i] = point.powerDistance.value_or(none);
    m_columns.riseTimeDistance[i] = point.riseTimeDistance.value_or(none);
    m_columns.maximumDistance[i] = point.maximumDistance.value_or(none);
    m_columns.limitedBy[i] =
        point.limitedBy ? static_cast<std::uint8_t>(1 + static_cast<int>(*point.limitedBy)) : 0;
    if (!point.fault) {
        // A rise-time message is one of the calculator's fixed texts.
        m_columns.message[i] = point.message.empty() ? 0 : fixedTextCode(point.message);
    } else if (const auto* fault = dynamic_cast<const ArithmeticFault*>(&point.fault->failure())) {
        m_columns.message[i] = fixedTextCode(faultText(fault->kind()));
    } else {
        m_columns.message[i] = m_columns.messages->code(point.fault->text());
    }
}

namespace {

// Points a thread takes at a time: enough to run a while, few enough that
// the threads end together and an interruption is seen soon.
constexpr std::size_t chunkPoints = 4096;
constexpr auto interruptionCheck = std::chrono::milliseconds(20);

// The points still to run, handed out a chunk at a time, and the first
// failure of a thread, which stops the others.
class Chunks {
public:
    explicit Chunks(std::size_t count) : m_count(count) {}

    // The first point of the next chunk, or none when the sweep is done or
    // stopped.
    std::optional<std::size_t> next() {
        if (m_stopped.load(std::memory_order_relaxed)) {
            return std::nullopt;
        }
        const std::size_t first = m_next.fetch_add(chunkPoints, std::memory_order_relaxed);
        return first < m_count ? std::optional(first) : std::nullopt;
    }
    std::size_t end(std::size_t first) const { return std::min(m_count, first + chunkPoints); }

    void stop(std::exception_ptr failure) {
        {
            const std::lock_guard lock(m_mutex);
            if (!m_failure) {
                m_failure = failure;
            }
        }
        m_stopped.store(true, std::memory_order_relaxed);
    }
    std::exception_ptr failure() {
        const std::lock_guard lock(m_mutex);
        return m_failure;
    }

private:
    std::size_t m_count;
    std::atomic<std::size_t> m_next{0};
    std::atomic<bool> m_stopped{false};
    std::mutex m_mutex;
    std::exception_ptr m_failure;
};

} // namespace

bool sweepInto(const Session& session, std::size_t input, std::span<const double> values,
               const SweepColumns& columns, unsigned workers,
               const std::function<bool()>& interrupted) {
    Chunks chunks(values.size());
    // Runs chunks until none is left; `between` is asked after each one.
    auto work = [&](const std::function<bool()>& between) {
        try {
            const std::unique_ptr<Session> own = session.copy();
            PointWriter writer(columns);
            while (const auto first = chunks.next()) {
                for (std::size_t i = *first; i < chunks.end(*first); ++i) {
                    writer.store(own->runAt(input, values[i]), i);
                }
                if (between && between()) {
                    chunks.stop(nullptr);
                }
            }
        } catch (...) {
            chunks.stop(std::current_exception());
        }
    };

    bool stoppedByInterruption = false;
    auto lastCheck = std::chrono::steady_clock::now();
    const std::function<bool()> checkInterruption = [&] {
        const auto now = std::chrono::steady_clock::now();
        if (!interrupted || now - lastCheck < interruptionCheck) {
            return false;
        }
        lastCheck = now;
        stoppedByInterruption = interrupted();
        return stoppedByInterruption;
    };
    {
        std::vector<std::jthread> threads;
        for (unsigned w = 1; w < workers && values.size() > w * chunkPoints; ++w) {
            try {
                threads.emplace_back(work, std::function<bool()>());
            } catch (const std::system_error&) {
                break; // the threads already started and this one share the points
            }
        }
        work(checkInterruption);
    }
    if (const std::exception_ptr failure = chunks.failure()) {
        std::rethrow_exception(failure);
    }
    return !stoppedByInterruption;
}

} // namespace vantero::python
