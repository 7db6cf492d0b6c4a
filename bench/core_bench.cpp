// SPDX-License-Identifier: MIT
// The sweep itself, with a window that does nothing: the speed of the arithmetic and the report,
// on each path of this machine, on one core and on all it may use, beside the obvious design
// that yields and reads the boxes at every divider, and beside the limit of the arithmetic.
#include "bench/kernel_limit.h"
#include "bench/null_window.h"
#include "bench/scenarios.h"
#include "calc/calculation_run.h"
#include "calc/sweep_kernel.h"
#include "ui/usable_cores.h"

#include <benchmark/benchmark.h>

#include <optional>
#include <string>

namespace bench {
namespace {

// The obvious design takes about 18 s over S5, which would drown the rest of the table.
constexpr std::string_view kNoPerDividerRun = "S5";

// `path` empty: the run as a window that turns its event loop at every yield would have it.
// `cores` above 1: the run's one block swept by a crew of that many threads.
void CoreSweep(benchmark::State &state, const Scenario &scenario,
    std::optional<calc::SweepPath> path, unsigned cores)
{
    std::int64_t lastDivider = 0;
    calc::SweepCrew crew(cores);
    for (auto _ : state) {
        NullWindow window(scenario, path.has_value(), &crew);
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

void KernelAlone(benchmark::State &state, calc::SweepPath path, unsigned threads)
{
    double rate = 0.0;
    for (auto _ : state) {
        rate = KernelAloneRate(path, threads);
        if (rate == 0.0) {
            state.SkipWithError("the kernel did not stop where the scenario does");
        }
    }
    state.counters["dividers/s"] = rate;
    state.counters["cores"] = threads;
}

} // namespace

void RegisterCoreBenchmarks()
{
    const unsigned cores = ui::UsableCores();
    const std::string allCores = "/cores:" + std::to_string(cores);
    for (calc::SweepPath path : calc::SweepPathsOfThisMachine()) {
        const std::string name = "Limit/" + std::string(calc::SweepPathName(path));
        for (unsigned threads : { 1U, cores }) {
            benchmark::RegisterBenchmark(
                (name + "/cores:" + std::to_string(threads)).c_str(), KernelAlone, path, threads)
                ->Unit(benchmark::kMillisecond)
                ->Iterations(1)
                ->UseRealTime();
            if (cores == 1) {
                break;
            }
        }
    }
    for (const Scenario &scenario : kScenarios) {
        const std::string name = "Core/" + std::string(scenario.name) + "/";
        if (scenario.name != kNoPerDividerRun) {
            benchmark::RegisterBenchmark((name + "per-divider").c_str(), CoreSweep, scenario,
                std::optional<calc::SweepPath>(), 1U)
                ->Unit(benchmark::kMillisecond)
                ->MinTime(0.5);
        }
        for (calc::SweepPath path : calc::SweepPathsOfThisMachine()) {
            const std::string pathName(calc::SweepPathName(path));
            benchmark::RegisterBenchmark((name + pathName).c_str(), CoreSweep, scenario,
                std::optional<calc::SweepPath>(path), 1U)
                ->Unit(benchmark::kMillisecond)
                ->MinTime(0.5);
            if (cores > 1 && path == calc::BestSweepPath()) {
                benchmark::RegisterBenchmark((name + pathName + allCores).c_str(), CoreSweep,
                    scenario, std::optional<calc::SweepPath>(path), cores)
                    ->Unit(benchmark::kMillisecond)
                    ->MinTime(0.5)
                    ->UseRealTime();
            }
        }
    }
}

} // namespace bench
