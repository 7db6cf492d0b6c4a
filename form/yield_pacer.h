// SPDX-License-Identifier: MIT
// When a window lets a run's yield turn its event loop, when it draws, and how many dividers it
// lets the run sweep between two turns. A run yields a few nanoseconds apart; handling events at
// every yield would cost the sweep its speed, and handling them too seldom would leave the user's
// keys unanswered. Both front-ends pace their runs with this one record.
#pragma once

#include <chrono>
#include <cstdint>

namespace form {

// A turn every 5 ms, so that a key shows at once; the screen drawn about 30 times a second, since
// drawing costs far more than a turn that finds no input; between two turns, blocks of dividers
// about 250 us long.
struct Pacing {
    std::chrono::nanoseconds turnInterval = std::chrono::milliseconds(5);
    std::chrono::nanoseconds frameInterval = std::chrono::milliseconds(30);
    std::chrono::nanoseconds quietBlockTime = std::chrono::microseconds(250);
    // The clock is looked at only every so many yields or dividers, so that a yield in between
    // costs next to nothing.
    int yieldsPerClockCheck = 32;
    std::int64_t firstQuietBlock = 1024;
    std::int64_t largestQuietBlock = std::int64_t { 1 } << 26;
};

class YieldPacer {
public:
    using TimePoint = std::chrono::steady_clock::time_point;

    enum class Turn : std::uint8_t {
        None, // go on with the run
        Events, // handle pending events; draw nothing yet
        EventsAndFrame, // bring the screen up to date, then handle pending events
    };

    explicit YieldPacer(Pacing pacing = {})
        : m_pacing(pacing)
    {
    }

    // At the start of a run.
    void Start(TimePoint now);
    // A window whose sweep speeds up or slows down during a run (the page, as its workers come
    // and go) paces it anew from the next clock check on.
    void SetPacing(const Pacing &pacing) { m_pacing = pacing; }

    // At each of the run's yields, with the progress value the run has set: whether the window
    // must look at the clock and call CheckClock.
    bool ClockDue(std::int64_t progress)
    {
        return ++m_yieldsSinceClockCheck >= m_pacing.yieldsPerClockCheck
            || progress - m_progressAtClockCheck >= m_pacing.yieldsPerClockCheck;
    }

    // Adapts the block of quiet yields to the rate the run sweeps at, and says whether the event
    // loop turns now. After a turn the window calls TurnEnded.
    Turn CheckClock(TimePoint now, std::int64_t progress);
    void TurnEnded(TimePoint now);

    // How many of the next dividers' yields the window would answer without a turn: as many as
    // the run has lately swept in a block's time, growing at most twofold per clock check, so
    // that a few quick blocks between matches cannot promise a long one.
    std::int64_t QuietYields() const { return m_quietYields; }

private:
    Pacing m_pacing;
    TimePoint m_lastTurn;
    TimePoint m_lastShown;
    TimePoint m_lastClockCheck;
    int m_yieldsSinceClockCheck = 0;
    std::int64_t m_progressAtClockCheck = 0;
    std::int64_t m_quietYields = 0;
};

} // namespace form
