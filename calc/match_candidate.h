// SPDX-License-Identifier: MIT
// One accepted divider pair of a sweep, as the report lists it.
#pragma once

#include <cstdint>

namespace calc {

// Dividers and counters are 64-bit so that no value a sweep can reach overflows; R stays within
// 1 .. 2^31 + 1 and N within the 32-bit range.
struct MatchCandidate {
    std::int64_t r = 0; // reference divider
    double fRef = 0.0; // comparison frequency, crystal / r, Hz
    std::int64_t n = 0; // main divider nearest to wanted / fRef
    double error = 0.0; // fRef x n - wanted, Hz; positive when the output lies above the wanted
    std::int64_t b = 0; // prescaler B counter, n / P
    std::int64_t a = 0; // prescaler A counter, n - b x P
};

} // namespace calc
