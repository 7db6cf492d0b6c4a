// SPDX-License-Identifier: MIT
#include "calc/sweep_crew.h"

#include "calc/sweep_parts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <optional>
#include <thread>
#include <vector>

namespace calc {
namespace {

std::vector<SweepPart> HandOutAll(SweepParts &parts)
{
    std::vector<SweepPart> handedOut;
    while (const std::optional<SweepPart> part = parts.Next()) {
        handedOut.push_back(*part);
    }
    return handedOut;
}

TEST(SweepParts, CoverTheStretchInOrderWithTheLeadFirst)
{
    struct Case {
        std::int64_t first;
        std::int64_t last;
        SweepSharing sharing;
        bool lead;
        std::int64_t firstLast; // where the first part ends
        std::size_t count;
    };
    const std::vector<Case> cases = {
        { 1, 1, { 4, 100, 10, 4 }, true, 1, 1 }, // all lead
        { 10, 109, { 2, 30, 10, 2 }, true, 39, 5 }, // 70 after the lead, parts of 18
        { 10, 109, { 2, 30, 40, 2 }, true, 39, 3 }, // parts no smaller than 40
        { 10, 109, { 2, 30, 10, 2 }, false, 34, 5 }, // no lead: 25, then 75 in parts of 19
        { 10, 109, { 2, 30, 10, 2, 12 }, true, 39, 7 }, // parts no larger than 12
        { 2'147'483'000, 2'147'483'649, { 3, 1, 1, 16 }, true, 2'147'483'000, 48 },
    };
    for (const Case &c : cases) {
        SweepParts parts(c.first, c.last, c.sharing, c.lead);
        const std::vector<SweepPart> all = HandOutAll(parts);
        ASSERT_EQ(all.size(), c.count) << c.first << " to " << c.last;
        EXPECT_EQ(all.front().last, c.firstLast);
        std::int64_t next = c.first;
        for (std::size_t i = 0; i < all.size(); ++i) {
            EXPECT_TRUE(all[i].index == i && all[i].first == next) << c.first << ", part " << i;
            next = all[i].last + 1;
        }
        EXPECT_EQ(next, c.last + 1);
    }
}

// Parts report in any order; the stretch stops at the first stop of the earliest part that has
// one, known only once every part before that one has reported.
TEST(SweepParts, StopIsTheEarliestPartsOnceEveryEarlierPartHasReported)
{
    struct Report {
        std::size_t part;
        bool stops; // at the part's first divider
        bool knownAfter;
    };
    struct Case {
        const char *name;
        std::vector<Report> reports;
        std::size_t stoppedPart; // 4: none
    };
    const std::vector<Case> cases = {
        { "none stops",
            { { 3, false, false }, { 0, false, false }, { 2, false, false }, { 1, false, true } },
            4 },
        { "a later stop first",
            { { 3, true, false }, { 0, false, false }, { 1, true, true }, { 2, true, true } }, 1 },
        { "earlier parts in flight",
            { { 2, true, false }, { 1, false, false }, { 0, false, true } }, 2 },
        { "the lead stops", { { 0, true, true } }, 0 },
    };
    for (const Case &c : cases) {
        SweepParts parts(100, 139, { 1, 10, 10, 3 }, true); // 100-109, 110-119, 120-129, 130-139
        const std::vector<SweepPart> handedOut = HandOutAll(parts);
        ASSERT_EQ(handedOut.size(), 4U);
        for (std::size_t i = 0; i < c.reports.size(); ++i) {
            const SweepPart &part = handedOut[c.reports[i].part];
            const std::int64_t stop = c.reports[i].stops ? part.first : part.last + 1;
            EXPECT_EQ(parts.Report(part.index, stop), c.reports[i].knownAfter) << c.name << i;
        }
        // Handed out one by one, no part after a stop is handed out at all.
        SweepParts single(100, 139, { 1, 10, 10, 3 }, true);
        std::size_t taken = 0;
        while (const std::optional<SweepPart> part = single.Next()) {
            ++taken;
            single.Report(part->index, part->index == c.stoppedPart ? part->first : part->last + 1);
        }
        EXPECT_EQ(taken, std::min<std::size_t>(c.stoppedPart + 1, 4)) << c.name;
        EXPECT_EQ(parts.Stop(), 100 + 10 * static_cast<std::int64_t>(c.stoppedPart)) << c.name;
    }
}

// The crew's threads start with the first stretch long enough to share, are reused for every
// later one, fall asleep soon after the last, and are joined when the crew goes (a thread left
// running would hang this test or be reported by the sanitizers).
TEST(SweepCrew, StartsItsThreadsOnceAndEndsThemWithIt)
{
    const HeldReadings held { 16800000, 1000, 0 }; // stops at the multiples of 16800
    for (unsigned cores : { 1U, 2U, 3U }) {
        SweepCrew crew(cores, { 0, 100, 50, 4 });
        EXPECT_EQ(crew.FindStoppingDivider(SweepPath::Plain, held, 1, 150), 151);
        EXPECT_EQ(crew.ThreadsStarted(), 0U) << "a stretch shorter than the lead and two parts";
        for (int stretch = 0; stretch < 200; ++stretch) {
            EXPECT_EQ(crew.FindStoppingDivider(SweepPath::Plain, held, 16801, 40000), 33600);
        }
        EXPECT_EQ(crew.ThreadsStarted(), SweepCrew::ThreadsAvailable() ? cores - 1 : 0);
        const auto started = static_cast<int>(crew.ThreadsStarted());
        for (int wait = 0; wait < 1000 && crew.ThreadsAsleep() < started; ++wait) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        EXPECT_EQ(crew.ThreadsAsleep(), started) << "a thread still looks for work";
    }
}

} // namespace
} // namespace calc
