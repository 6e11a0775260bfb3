#include "common/runs/orderedblocks.h"

#include <thread>

#include <sched.h>

namespace vantero {

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

} // namespace vantero
