// SPDX-License-Identifier: MIT
#include "form/yield_pacer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>

namespace {

using namespace std::chrono_literals;
using form::YieldPacer;

// A run sweeping at a steady rate on a clock of the test's own: between two yields it tries the
// block the pacer grants, and every turn of the event loop costs a millisecond.
TEST(YieldPacerTest, TurnsDrawsAndGrantsAsTheRunSweeps)
{
    for (const std::int64_t dividersPerMicrosecond : { 1, 100, 3000 }) {
        SCOPED_TRACE(dividersPerMicrosecond);
        const form::Pacing pacing;
        YieldPacer pacer(pacing);
        YieldPacer::TimePoint now {};
        pacer.Start(now);
        std::int64_t progress = 0;
        YieldPacer::TimePoint lastTurnEnd = now;
        YieldPacer::TimePoint lastFrame = now;
        int frames = 0;
        while (now < YieldPacer::TimePoint {} + 1s) {
            const std::int64_t grant = pacer.QuietYields() + 1;
            progress += grant;
            now += std::chrono::nanoseconds(grant * 1000 / dividersPerMicrosecond);
            if (!pacer.ClockDue(progress)) {
                continue;
            }
            const std::int64_t before = pacer.QuietYields();
            const YieldPacer::Turn turn = pacer.CheckClock(now, progress);
            EXPECT_LE(pacer.QuietYields(), 2 * before);
            EXPECT_EQ(turn != YieldPacer::Turn::None, now - lastTurnEnd >= pacing.turnInterval);
            if (turn == YieldPacer::Turn::EventsAndFrame) {
                EXPECT_GE(now - lastFrame, pacing.frameInterval);
                lastFrame = now;
                ++frames;
            }
            if (turn != YieldPacer::Turn::None) {
                now += 1ms;
                pacer.TurnEnded(now);
                lastTurnEnd = now;
            }
        }
        // About 30 frames in a second, and blocks of about a quarter of a millisecond.
        EXPECT_GE(frames, 25);
        EXPECT_LE(frames, 34);
        const std::int64_t quarterMillisecond = dividersPerMicrosecond * 250;
        EXPECT_GE(pacer.QuietYields(), quarterMillisecond / 2);
        EXPECT_LE(pacer.QuietYields(), quarterMillisecond * 2);
    }
}

} // namespace
