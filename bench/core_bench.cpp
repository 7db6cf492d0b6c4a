// SPDX-License-Identifier: MIT
// The sweep itself, with a window that does nothing: the speed of the arithmetic and the report,
// on each path of this machine, beside the obvious design that yields and reads the boxes at
// every divider.
#include "bench/null_window.h"
#include "bench/scenarios.h"
#include "calc/calculation_run.h"
#include "calc/sweep_kernel.h"

#include <benchmark/benchmark.h>

#include <optional>
#include <string>

namespace bench {
namespace {

// The obvious design takes about 18 s over S5, which would drown the rest of the table.
constexpr std::string_view kNoPerDividerRun = "S5";

// `path` empty: the run as a window that turns its event loop at every yield would have it.
void CoreSweep(
    benchmark::State &state, const Scenario &scenario, std::optional<calc::SweepPath> path)
{
    std::int64_t lastDivider = 0;
    for (auto _ : state) {
        NullWindow window(scenario, path.has_value());
        calc::RunCalculation(calc::Side::RF, window, path.value_or(calc::SweepPath::Plain));
        lastDivider = window.lastProgressValue;
    }
    const std::int64_t firstDivider = scenario.lastDivider - scenario.dividers + 1;
    if (lastDivider - firstDivider + 1 != scenario.dividers) {
        state.SkipWithError("the sweep did not end where the scenario does");
    }
    const auto dividers = static_cast<double>(scenario.dividers);
    state.counters["dividers/s"]
        = benchmark::Counter(dividers, benchmark::Counter::kIsIterationInvariantRate);
    state.counters["s/divider"] = benchmark::Counter(
        dividers, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

} // namespace

void RegisterCoreBenchmarks()
{
    for (const Scenario &scenario : kScenarios) {
        const std::string name = "Core/" + std::string(scenario.name) + "/";
        if (scenario.name != kNoPerDividerRun) {
            benchmark::RegisterBenchmark((name + "per-divider").c_str(), CoreSweep, scenario,
                std::optional<calc::SweepPath>())
                ->Unit(benchmark::kMillisecond)
                ->MinTime(0.5);
        }
        for (calc::SweepPath path : calc::SweepPathsOfThisMachine()) {
            benchmark::RegisterBenchmark((name + std::string(calc::SweepPathName(path))).c_str(),
                CoreSweep, scenario, std::optional<calc::SweepPath>(path))
                ->Unit(benchmark::kMillisecond)
                ->MinTime(0.5);
        }
    }
}

} // namespace bench
