// SPDX-License-Identifier: MIT
// The chip's R and N register words for one accepted divider pair of one synthesizer.
#pragma once

#include "calc/chip_options.h"
#include "calc/side_profile.h"

#include <cstdint>

namespace calc {

// Bits 0 to 21 carry the 22-bit register. The words are 64-bit so that the sums below are exact
// for every divider a sweep can reach; a B counter above 2047 or an R of 32768 or more carries
// into the bits above its field and is printed as it comes out.
struct RegisterWords {
    std::int64_t rWord = 0;
    std::int64_t nWord = 0;

    friend bool operator==(const RegisterWords &, const RegisterWords &) = default;
};

// The words of `side` for reference divider `r` and prescaler counters `b` and `a`, built as sums
// (never masked) from the options of that side and the shared FoLD mode.
RegisterWords EncodeRegisterWords(Side side, std::int64_t r, std::int64_t b, std::int64_t a,
    const ChipOptions &options, FoldMode fold);

} // namespace calc
