// SPDX-License-Identifier: MIT
// The sweep's inner loop: the dividers that do not match, tried as fast as the machine can, in
// one plain path that every compiler builds, vector paths chosen at run time for x86-64, and one
// for WebAssembly built with its SIMD instructions.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace calc {

// The instruction sets a sweep can run on. Every path does the same operations in the same
// order, so each finds the same dividers.
enum class SweepPath : std::uint8_t {
    Plain, // the baseline of the target: SSE2 on x86-64, whatever the compiler has elsewhere
    Sse41,
    Avx2,
    Avx512,
    Simd128, // WebAssembly SIMD, in a module built with it; its engine has no run-time choice
};

// What the sweep reads from the crystal, wanted and max-error boxes, held while no event can
// change them.
struct HeldReadings {
    double crystal = 0.0; // Hz
    double wanted = 0.0; // Hz
    double maxError = 0.0; // Hz
};

// The first divider r from `first` to `last` (1 <= first, last <= 2^31 + 1) at which the sweep
// must leave the loop: a match, |crystal / r x N - wanted| <= max error with N the nearest whole
// number to wanted / (crystal / r), halves to even; or an N outside the 32-bit range (NaN
// included), which the run reports. last + 1 when there is none.
std::int64_t FindStoppingDivider(
    SweepPath path, const HeldReadings &held, std::int64_t first, std::int64_t last);

// The paths this machine can run, plain first and best last.
std::vector<SweepPath> SweepPathsOfThisMachine();
SweepPath BestSweepPath();

// "plain", "sse4.1", "avx2", "avx512", "simd128".
std::string_view SweepPathName(SweepPath path);

} // namespace calc
