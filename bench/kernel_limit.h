// SPDX-License-Identifier: MIT
// The limit of the arithmetic: the sweep kernel's loop alone, with no run and no window, over the
// dividers of S5, which hold no stop before the last. On several threads at once each sweeps the
// whole range, and their rates are summed: what the machine's cores can do together.
#pragma once

#include "bench/scenarios.h"
#include "calc/number_reading.h"
#include "calc/sweep_kernel.h"

#include <chrono>
#include <cstdint>
#include <thread>
#include <vector>

namespace bench {

inline const Scenario &WidestScenario()
{
    return kScenarios.back();
}

inline calc::HeldReadings HeldOf(const Scenario &scenario)
{
    const calc::NumberFormat format { ".", "," };
    return { calc::ReadReal(scenario.crystal, format).value,
        calc::ReadReal(scenario.wanted, format).value, calc::ReadLeadingNumber(scenario.maxError) };
}

// Dividers per second of the kernel on `path`, summed over `threads` threads sweeping at once;
// 0 if a sweep did not stop where the scenario does.
inline double KernelAloneRate(calc::SweepPath path, unsigned threads)
{
    const Scenario &scenario = WidestScenario();
    const calc::HeldReadings held = HeldOf(scenario);
    const std::int64_t first = scenario.lastDivider - scenario.dividers + 1;
    std::vector<std::int64_t> stops(threads);
    std::vector<std::thread> sweepers;
    const auto start = std::chrono::steady_clock::now();
    for (unsigned i = 0; i < threads; ++i) {
        sweepers.emplace_back([&, i] {
            stops[i] = calc::FindStoppingDivider(path, held, first, scenario.lastDivider);
        });
    }
    for (std::thread &sweeper : sweepers) {
        sweeper.join();
    }
    const double seconds
        = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    for (std::int64_t stop : stops) {
        if (stop != scenario.lastDivider) {
            return 0.0;
        }
    }
    return static_cast<double>(scenario.dividers) * threads / seconds;
}

} // namespace bench
