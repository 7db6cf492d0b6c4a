// SPDX-License-Identifier: MIT
// A sweep of billions of listed dividers would fill the memory before it ended: a window stops it
// at a report no one could read through, and says so in its error box.
#pragma once

#include "calc/report_text.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace form {

constexpr std::size_t kLargestReport = std::size_t { 1 } << 30;

// What the box says when a report has grown beyond `largestReport` bytes.
inline std::string ReportTooLongMessage(std::size_t largestReport)
{
    return "The report has grown beyond "
        + calc::DecimalText(static_cast<std::int64_t>(largestReport >> 20))
        + " MiB, more than this window keeps: the sweep stops here. Narrow the band between Ref "
          "low and Ref high, or lower Max Error.";
}

} // namespace form
