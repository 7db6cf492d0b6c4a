// SPDX-License-Identifier: MIT
// A stretch of the sweep split into parts that several cores sweep at once, and the stretch's
// stop from the stops of its parts: the first stop of the earliest part that has one.
#pragma once

#include "calc/sweep_kernel.h"

#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <vector>

namespace calc {

struct SweepPart {
    std::size_t index = 0;
    std::int64_t first = 0;
    std::int64_t last = 0;
};

// How a stretch is split. After a stretch that ended at a stop, the next begins with a lead part
// that the caller sweeps alone before any other core is asked, so that stops that come soon
// after one another cost no other core a thing.
struct SweepSharing {
    unsigned cores = 1; // that sweep at once, the caller's among them
    std::int64_t leadPart = 1; // dividers
    std::int64_t smallestPart = 1; // dividers, below which a part is not worth handing out
    std::int64_t partsPerCore = 16; // so that no core waits long for the last
    // dividers: a stop found early in a stretch leaves the other cores at most a part to finish
    std::int64_t largestPart = std::numeric_limits<std::int64_t>::max();

    // Whether the dividers from `first` to `last` are worth sharing: a lead part, if any, and
    // two parts at least.
    bool WorthSharing(std::int64_t first, std::int64_t last, bool lead) const
    {
        return cores >= 2 && last - first + 1 >= (lead ? leadPart : 0) + 2 * smallestPart;
    }
};

class SweepParts {
public:
    // The dividers from `first` to `last` (first <= last): the lead part if `lead`, then parts
    // of equal size (the last of them shorter) as `sharing` says.
    SweepParts(std::int64_t first, std::int64_t last, const SweepSharing &sharing, bool lead);

    // The next part, in order: none when all have been handed out, or when one handed out has
    // reported a stop, since the dividers after it are never tried.
    std::optional<SweepPart> Next();
    // Part `index` stops at `stop`, its last divider + 1 for none: whether the stretch's stop is
    // now known, every part before the first that stopped having reported.
    bool Report(std::size_t index, std::int64_t stop);

    bool Known() const;
    // Once known: the stop FindStoppingDivider gives for the whole stretch.
    std::int64_t Stop() const;
    std::size_t Count() const { return m_stops.size(); }

private:
    SweepPart PartAt(std::size_t index) const;

    std::int64_t m_first;
    std::int64_t m_last;
    std::int64_t m_lead;
    std::int64_t m_size;
    std::vector<std::optional<std::int64_t>> m_stops; // by part, once reported
    std::size_t m_next = 0; // parts handed out
    std::size_t m_reportedInOrder = 0; // parts from the first on that have all reported
    std::size_t m_firstStopped; // the earliest part that reported a stop, Count() for none
};

// Sweeps the dividers from `first` to `last` (first <= last) as `sharing` says, for what
// FindStoppingDivider gives: on this thread alone when they are not worth sharing; else, after a
// stretch that ended at a stop, this thread sweeps the lead part first, and then `share` has the
// parts swept on the other cores and returns once the stretch's stop is known. `lastStopped`
// says whether the last stretch ended at a stop, and is set for the next. A template, so that
// `share` is called directly: the page's waits for its workers unwind through this call.
template <typename Share>
std::int64_t SweepShared(const SweepSharing &sharing, bool &lastStopped, SweepPath path,
    const HeldReadings &held, std::int64_t first, std::int64_t last, const Share &share)
{
    if (!sharing.WorthSharing(first, last, lastStopped)) {
        const std::int64_t stop = FindStoppingDivider(path, held, first, last);
        lastStopped = stop <= last;
        return stop;
    }
    SweepParts parts(first, last, sharing, lastStopped);
    if (lastStopped) {
        const SweepPart lead = *parts.Next();
        if (parts.Report(lead.index, FindStoppingDivider(path, held, lead.first, lead.last))) {
            return parts.Stop();
        }
    }
    share(parts);
    lastStopped = parts.Stop() <= last;
    return parts.Stop();
}

} // namespace calc
