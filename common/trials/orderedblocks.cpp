#include "common/trials/orderedblocks.h"

#include <sched.h>

namespace vantero::trials {

unsigned availableCores() {
    cpu_set_t set;
    CPU_ZERO(&set);
    if (sched_getaffinity(0, sizeof set, &set) == 0) {
        const int count = CPU_COUNT(&set);
        if (count > 0) {
            return static_cast<unsigned>(count);
        }
    }
    const unsigned machine = std::thread::hardware_concurrency();
    return machine > 0 ? machine : 1;
}

std::jthread startThread(std::function<void()> work) {
    return std::jthread(std::move(work));
}

} // namespace vantero::trials
