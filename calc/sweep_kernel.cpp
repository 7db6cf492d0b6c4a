// SPDX-License-Identifier: MIT
#include "calc/sweep_kernel.h"

#include "calc/number_reading.h"

#include <array>
#include <cmath>
#include <limits>

#if defined(__wasm_simd128__)
#include <wasm_simd128.h>
#endif

namespace calc {
namespace {

constexpr double kLowestN = std::numeric_limits<std::int32_t>::min();
constexpr double kHighestN = std::numeric_limits<std::int32_t>::max();

// Dividers are tried in chunks of this many with no branch inside, so that the compiler can
// vectorise the chunk; a chunk that holds a stop is tried again one divider at a time.
constexpr int kChunk = 64;

struct ChunkOffsets {
    std::array<double, kChunk> offset;
};

// 0, 1, 2, ...: the dividers of a chunk as offsets from its first, already in double, since a
// vector conversion from int32 to double is not in every instruction set the compiler targets.
constexpr ChunkOffsets kChunkOffsets = [] {
    ChunkOffsets offsets {};
    for (int i = 0; i < kChunk; ++i) {
        offsets.offset[static_cast<std::size_t>(i)] = i;
    }
    return offsets;
}();

// The divider's arithmetic exactly as the run does it: division, rounding, one multiplication,
// one subtraction. Bitwise & and | rather than && and ||, so that nothing branches. With
// kRoundInstruction the rounding is the instruction set's own (roundpd), which gives the same
// bits as RoundHalfEven's addition of 2^52.
template <bool kRoundInstruction>
[[gnu::always_inline]] inline bool Stops(const HeldReadings &held, double r)
{
    const double fRef = held.crystal / r;
    const double quotient = held.wanted / fRef;
    const double n = kRoundInstruction ? std::nearbyint(quotient) : RoundHalfEven(quotient);
    const double error = fRef * n - held.wanted;
    const bool inRange = (n >= kLowestN) & (n <= kHighestN);
    const bool within = std::fabs(error) <= held.maxError;
    return !inRange | within;
}

template <bool kRoundInstruction>
[[gnu::always_inline]] inline std::int64_t Scan(
    const HeldReadings &held, std::int64_t first, std::int64_t last)
{
    std::int64_t start = first;
    for (; last - start + 1 >= kChunk; start += kChunk) {
        // Below 2^53 the sum of two whole doubles is exact: base + i is the divider itself.
        const auto base = static_cast<double>(start);
        double stops = 0.0; // a double, so that the flag has the width of the lanes
        for (std::size_t i = 0; i < kChunk; ++i) {
            stops = Stops<kRoundInstruction>(held, base + kChunkOffsets.offset[i]) ? 1.0 : stops;
        }
        if (stops != 0.0) {
            break;
        }
    }
    for (; start <= last; ++start) {
        if (Stops<kRoundInstruction>(held, static_cast<double>(start))) {
            return start;
        }
    }
    return last + 1;
}

// WebAssembly rounds halves to even in one instruction (f64.nearest) in every engine.
#if defined(__wasm__)
constexpr bool kBaselineRounds = true;
#else
constexpr bool kBaselineRounds = false;
#endif

std::int64_t ScanPlain(const HeldReadings &held, std::int64_t first, std::int64_t last)
{
    return Scan<kBaselineRounds>(held, first, last);
}

#if defined(__x86_64__)
#define PLL_SWEEP_PATHS_X86 1

[[gnu::target("sse4.1")]] std::int64_t ScanSse41(
    const HeldReadings &held, std::int64_t first, std::int64_t last)
{
    return Scan<true>(held, first, last);
}

[[gnu::target("avx2")]] std::int64_t ScanAvx2(
    const HeldReadings &held, std::int64_t first, std::int64_t last)
{
    return Scan<true>(held, first, last);
}

[[gnu::target("avx512f")]] std::int64_t ScanAvx512(
    const HeldReadings &held, std::int64_t first, std::int64_t last)
{
    return Scan<true>(held, first, last);
}

bool Supports(SweepPath path)
{
    switch (path) {
    case SweepPath::Plain:
        return true;
    case SweepPath::Sse41:
        return __builtin_cpu_supports("sse4.1");
    case SweepPath::Avx2:
        return __builtin_cpu_supports("avx2");
    case SweepPath::Avx512:
        return __builtin_cpu_supports("avx512f");
    case SweepPath::Simd128:
        break;
    }
    return false;
}
#elif defined(__wasm_simd128__)
#define PLL_SWEEP_PATH_SIMD128 1

// Two dividers per vector, with the operations of Stops in the same order; f64x2.nearest
// rounds halves to even, as RoundHalfEven does. A module is built with or without SIMD as a
// whole, so there is nothing to choose at run time.
std::int64_t ScanSimd128(const HeldReadings &held, std::int64_t first, std::int64_t last)
{
    const v128_t crystal = wasm_f64x2_splat(held.crystal);
    const v128_t wanted = wasm_f64x2_splat(held.wanted);
    const v128_t maxError = wasm_f64x2_splat(held.maxError);
    const v128_t lowestN = wasm_f64x2_splat(kLowestN);
    const v128_t highestN = wasm_f64x2_splat(kHighestN);
    const v128_t two = wasm_f64x2_splat(2.0);
    std::int64_t start = first;
    for (; last - start + 1 >= kChunk; start += kChunk) {
        const auto base = static_cast<double>(start);
        v128_t r = wasm_f64x2_make(base, base + 1.0); // whole numbers below 2^53: exact
        v128_t stops = wasm_i64x2_splat(0);
        for (int i = 0; i < kChunk / 2; ++i) {
            const v128_t fRef = wasm_f64x2_div(crystal, r);
            const v128_t n = wasm_f64x2_nearest(wasm_f64x2_div(wanted, fRef));
            const v128_t error = wasm_f64x2_sub(wasm_f64x2_mul(fRef, n), wanted);
            const v128_t inRange
                = wasm_v128_and(wasm_f64x2_ge(n, lowestN), wasm_f64x2_le(n, highestN));
            const v128_t within = wasm_f64x2_le(wasm_f64x2_abs(error), maxError);
            stops = wasm_v128_or(stops, wasm_v128_or(wasm_v128_not(inRange), within));
            r = wasm_f64x2_add(r, two);
        }
        if (wasm_v128_any_true(stops)) {
            break;
        }
    }
    for (; start <= last; ++start) {
        if (Stops<true>(held, static_cast<double>(start))) {
            return start;
        }
    }
    return last + 1;
}

bool Supports(SweepPath path)
{
    return path == SweepPath::Plain || path == SweepPath::Simd128;
}
#else
bool Supports(SweepPath path)
{
    return path == SweepPath::Plain;
}
#endif

constexpr std::array kAllPaths = { SweepPath::Plain, SweepPath::Sse41, SweepPath::Avx2,
    SweepPath::Avx512, SweepPath::Simd128 };

} // namespace

std::int64_t FindStoppingDivider(
    SweepPath path, const HeldReadings &held, std::int64_t first, std::int64_t last)
{
    switch (path) {
    case SweepPath::Plain:
        break;
#ifdef PLL_SWEEP_PATHS_X86
    case SweepPath::Sse41:
        return ScanSse41(held, first, last);
    case SweepPath::Avx2:
        return ScanAvx2(held, first, last);
    case SweepPath::Avx512:
        return ScanAvx512(held, first, last);
#elif defined(PLL_SWEEP_PATH_SIMD128)
    case SweepPath::Simd128:
        return ScanSimd128(held, first, last);
#endif
    default:
        break;
    }
    return ScanPlain(held, first, last);
}

std::vector<SweepPath> SweepPathsOfThisMachine()
{
    std::vector<SweepPath> paths;
    for (SweepPath path : kAllPaths) {
        if (Supports(path)) {
            paths.push_back(path);
        }
    }
    return paths;
}

SweepPath BestSweepPath()
{
    SweepPath best = SweepPath::Plain;
    for (SweepPath path : kAllPaths) {
        if (Supports(path)) {
            best = path;
        }
    }
    return best;
}

std::string_view SweepPathName(SweepPath path)
{
    switch (path) {
    case SweepPath::Plain:
        break;
    case SweepPath::Sse41:
        return "sse4.1";
    case SweepPath::Avx2:
        return "avx2";
    case SweepPath::Avx512:
        return "avx512";
    case SweepPath::Simd128:
        return "simd128";
    }
    return "plain";
}

} // namespace calc
