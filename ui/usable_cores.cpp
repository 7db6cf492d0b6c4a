// SPDX-License-Identifier: MIT
#include "ui/usable_cores.h"

#include <algorithm>
#include <thread>

#ifdef __linux__
#include <sched.h>
#endif

namespace ui {

unsigned UsableCores()
{
#ifdef __linux__
    cpu_set_t cores;
    CPU_ZERO(&cores);
    if (sched_getaffinity(0, sizeof cores, &cores) == 0 && CPU_COUNT(&cores) > 0) {
        return static_cast<unsigned>(CPU_COUNT(&cores));
    }
#endif
    return std::max(std::thread::hardware_concurrency(), 1U);
}

} // namespace ui
