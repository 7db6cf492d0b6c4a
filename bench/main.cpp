// SPDX-License-Identifier: MIT
// The benchmarks of the sweep, in the core and in the window. The window runs on Qt's offscreen
// platform unless QT_QPA_PLATFORM says otherwise.
#include <QApplication>

#include <benchmark/benchmark.h>

namespace bench {
void RegisterCoreBenchmarks();
void RegisterWindowBenchmarks();
} // namespace bench

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    bench::RegisterCoreBenchmarks();
    bench::RegisterWindowBenchmarks();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
