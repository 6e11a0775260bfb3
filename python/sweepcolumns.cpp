#include "python/sweepcolumns.h"

#include "common/numbers/failure.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <limits>
#include <memory>
#include <stdexcept>
#include <thread>
#include <vector>

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
    return code == 0 ? std::string_view()
                     : limitingFactorName(static_cast<LimitingFactor>(code - 1));
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
    if (m_columns.input != nullptr) {
        m_columns.input[i] = point.input;
    }
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

// Items a thread takes at a time: enough to run a while, few enough that
// the threads end together and an interruption is seen soon.
constexpr std::size_t blockItems = 4096;
constexpr auto interruptionCheck = std::chrono::milliseconds(20);

} // namespace

bool runItemBlocks(std::size_t count, unsigned workers, const std::function<ItemWork()>& makeWork,
                   const std::function<bool()>& interrupted) {
    const std::size_t blocks = (count + blockItems - 1) / blockItems;
    // The threads take the blocks in turn from one counter, and meet only
    // at the end: the points need no order, and waking a thread for each
    // block cost more than the blocks' own work on a virtual machine.
    std::atomic<std::size_t> next{0};
    std::atomic<bool> stop{false};
    std::mutex mutex;
    std::condition_variable ended;
    std::size_t running = 0;
    std::exception_ptr failure;
    const auto runBlocks = [&](const ItemWork& work, const std::function<void()>& between) {
        for (std::size_t block = next++; block < blocks && !stop; block = next++) {
            const std::size_t first = block * blockItems;
            work(first, std::min(count, first + blockItems));
            between();
        }
    };
    const auto thread = [&] {
        try {
            runBlocks(makeWork(), [] {});
        } catch (...) {
            const std::lock_guard lock(mutex);
            if (!failure) {
                failure = std::current_exception();
            }
            stop = true;
        }
        {
            const std::lock_guard lock(mutex);
            --running;
        }
        ended.notify_all();
    };

    std::vector<std::thread> threads;
    const std::size_t wanted = std::min<std::size_t>(workers, blocks);
    threads.reserve(wanted);
    while (threads.size() < wanted) {
        try {
            const std::lock_guard lock(mutex);
            threads.emplace_back(thread);
            ++running;
        } catch (...) { // no thread (std::system_error) or no memory for one
            break;      // the threads started do the work, or else the calling thread
        }
    }
    bool finished = true;
    if (threads.empty()) {
        auto lastCheck = std::chrono::steady_clock::now();
        runBlocks(makeWork(), [&] {
            const auto now = std::chrono::steady_clock::now();
            if (interrupted && now - lastCheck >= interruptionCheck) {
                lastCheck = now;
                if (interrupted()) {
                    stop = true;
                    finished = false;
                }
            }
        });
        return finished;
    }
    try {
        std::unique_lock lock(mutex);
        while (!ended.wait_for(lock, interruptionCheck, [&] { return running == 0; })) {
            lock.unlock();
            const bool stopNow = interrupted && interrupted();
            lock.lock();
            if (stopNow) {
                stop = true;
                finished = false;
            }
        }
    } catch (...) {
        stop = true;
        for (std::thread& t : threads) {
            t.join();
        }
        throw;
    }
    for (std::thread& t : threads) {
        t.join();
    }
    if (failure) {
        std::rethrow_exception(failure);
    }
    return finished;
}

bool sweepInto(const Session& session, std::size_t input, std::span<const double> values,
               const SweepColumns& columns, unsigned workers,
               const std::function<bool()>& interrupted) {
    return runItemBlocks(
        values.size(), workers,
        [&]() -> ItemWork {
            auto own = std::shared_ptr<Session>(session.copy());
            auto writer = std::make_shared<PointWriter>(columns);
            return [own, writer, input, values](std::size_t first, std::size_t end) {
                for (std::size_t i = first; i < end; ++i) {
                    writer->store(own->runAt(input, values[i]), i);
                }
            };
        },
        interrupted);
}

} // namespace vantero::python
