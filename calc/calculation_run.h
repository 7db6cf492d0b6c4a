// SPDX-License-Identifier: MIT
// One calculation run: the sweep over reference dividers for one synthesizer, from the window's
// settings to the report in its result pane.
#pragma once

#include "calc/side_profile.h"
#include "calc/sweep_kernel.h"
#include "calc/window_ops.h"

namespace calc {

inline constexpr std::string_view kErrorBoxTitle = "PLL register ERROR";

// Tries every reference divider R from crystal / ref high to crystal / ref low + 1 (integer
// divisions, truncated; never below 1), takes for each the N nearest to the wanted frequency,
// counts the pairs whose error is within the max error, splits N into the prescaler's B and A,
// and writes the report: header, headings, one row per pair with A <= B, separator and footer.
// Every field is read from the window at each use, so an edit during the run counts from its
// next read. The run stops early, with an error box and then the separator and footer, on a B
// counter above 2047 (after finishing that divider), a text that is not a number, a ref low or
// ref high of 0, or a value beyond 32 bits; likewise, without a box of its own, when the window
// says from Yield that the sweep must stop. It ends at once, writing nothing more, when the
// window says that it is closing.
// Between two of the window's turns (see WindowOps::QuietYields) the dividers are tried by the
// sweep kernel, on the best path of this machine or on `path`, one of SweepPathsOfThisMachine();
// every path writes the same report.
void RunCalculation(Side side, WindowOps &window);
void RunCalculation(Side side, WindowOps &window, SweepPath path);

} // namespace calc
