// SPDX-License-Identifier: MIT
// The sweep itself, with a window that does nothing: the speed of the arithmetic and the report.
#include "bench/null_window.h"
#include "bench/scenarios.h"
#include "calc/calculation_run.h"

#include <benchmark/benchmark.h>

namespace bench {
namespace {

void CoreSweep(benchmark::State &state, const Scenario &scenario)
{
    for (auto _ : state) {
        NullWindow window(scenario);
        calc::RunCalculation(calc::Side::RF, window);
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
        benchmark::RegisterBenchmark(
            ("Core/" + std::string(scenario.name)).c_str(), CoreSweep, scenario)
            ->Unit(benchmark::kMillisecond)
            ->MinTime(0.5);
    }
}

} // namespace bench
