// SPDX-License-Identifier: MIT
// The number formats the fuzzers read in: those a window's locale gives, and a few that reach the
// readers' edges: separators of several bytes, no grouping, a group separator equal to the
// decimal one, and no decimal separator at all.
#pragma once

#include "calc/number_reading.h"

#include <array>

namespace calc::fuzzing {

inline const std::array<NumberFormat, 9> kNumberFormats = {
    NumberFormat { ".", "," },
    NumberFormat { ",", "." },
    NumberFormat { ".", "" },
    NumberFormat { ",", "" },
    NumberFormat { ",", "\u00A0" },
    NumberFormat { ",", "\u202F" },
    NumberFormat { "\u066B", "\u066C" },
    NumberFormat { ".", "." },
    NumberFormat { "", "," },
};

} // namespace calc::fuzzing
