// SPDX-License-Identifier: MIT
#include "form/yield_pacer.h"

#include <algorithm>

namespace form {

void YieldPacer::Start(TimePoint now)
{
    m_lastTurn = m_lastClockCheck = m_lastShown = now;
    m_quietYields = m_pacing.firstQuietBlock;
}

YieldPacer::Turn YieldPacer::CheckClock(TimePoint now, std::int64_t progress)
{
    const std::int64_t sinceCheck
        = std::chrono::duration_cast<std::chrono::nanoseconds>(now - m_lastClockCheck).count();
    const std::int64_t swept = progress - m_progressAtClockCheck;
    if (swept > 0 && sinceCheck > 0) {
        const std::int64_t perBlock = swept * m_pacing.quietBlockTime.count() / sinceCheck;
        m_quietYields = std::clamp<std::int64_t>(
            perBlock, 1, std::min(2 * m_quietYields, m_pacing.largestQuietBlock));
    }
    m_lastClockCheck = now;
    m_yieldsSinceClockCheck = 0;
    m_progressAtClockCheck = progress;
    if (now - m_lastTurn < m_pacing.turnInterval) {
        return Turn::None;
    }
    if (m_lastTurn - m_lastShown < m_pacing.frameInterval) {
        return Turn::Events;
    }
    m_lastShown = m_lastTurn;
    return Turn::EventsAndFrame;
}

void YieldPacer::TurnEnded(TimePoint now)
{
    m_lastTurn = now;
    m_lastClockCheck = now; // the turn's own time is not the run's
}

} // namespace form
