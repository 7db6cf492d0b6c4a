// SPDX-License-Identifier: MIT
#include "calc/sweep_crew.h"

#include <algorithm>
#include <chrono>
#include <system_error>

// WebAssembly without threads (the page sweeps on workers of its own): the caller sweeps every
// part itself, split as it would be with threads.
#if defined(__EMSCRIPTEN__) && !defined(__EMSCRIPTEN_PTHREADS__)
#define PLL_SWEEP_THREADS 0
#else
#define PLL_SWEEP_THREADS 1
#endif

namespace calc {
namespace {

using Clock = std::chrono::steady_clock;

// Between two stretches the window's thread yields, reads its boxes and sweeps the next lead
// part, some microseconds; a crew thread asleep would be woken tens of microseconds late. It
// looks for the next stretch for this long before it sleeps, which a turn of the event loop
// usually outlasts.
constexpr Clock::duration kLookForStretch = std::chrono::microseconds(200);
// The caller waits for the parts before the stop still being swept, about a part's time.
constexpr Clock::duration kLookForStop = std::chrono::milliseconds(2);

// Looks until `done` holds or `limit` has passed, handing the core to any other thread that
// wants it meanwhile: whether it held.
template <typename Done> bool LookUntil(const Done &done, Clock::duration limit)
{
    const Clock::time_point end = Clock::now() + limit;
    for (unsigned looks = 1;; ++looks) {
        if (done()) {
            return true;
        }
        if (looks % 64 == 0 && Clock::now() >= end) {
            return false;
        }
        std::this_thread::yield();
    }
}

} // namespace

SweepCrew::SweepCrew(unsigned cores, SweepSharing sharing)
    : m_sharing(sharing)
{
    m_sharing.cores = std::max(cores, 1U);
}

SweepCrew::~SweepCrew()
{
    {
        const std::lock_guard lock(m_mutex);
        m_ending = true;
    }
    m_wake.notify_all();
    for (std::thread &thread : m_threads) {
        thread.join();
    }
}

std::int64_t SweepCrew::FindStoppingDivider(
    SweepPath path, const HeldReadings &held, std::int64_t first, std::int64_t last)
{
    return SweepShared(
        m_sharing, m_lastStopped, path, held, first, last, [this, path, held](SweepParts &parts) {
            StartThreads();
            {
                const std::lock_guard lock(m_mutex);
                m_path = path;
                m_held = held;
                m_parts = std::move(parts);
                m_stopKnown = false;
                ++m_stretch;
                if (m_sleepers > 0) {
                    m_wake.notify_all();
                }
            }
            TakeParts();
            AwaitStop();
            const std::lock_guard lock(m_mutex);
            parts = *m_parts;
        });
}

int SweepCrew::ThreadsAsleep()
{
    const std::lock_guard lock(m_mutex);
    return m_sleepers;
}

bool SweepCrew::ThreadsAvailable()
{
    return PLL_SWEEP_THREADS != 0;
}

void SweepCrew::StartThreads()
{
    if (m_started) {
        return;
    }
    m_started = true;
#if PLL_SWEEP_THREADS
    try {
        while (m_threads.size() + 1 < m_sharing.cores) {
            m_threads.emplace_back(&SweepCrew::Work, this, m_stretch.load());
        }
    } catch (const std::system_error &) {
        // The system starts no more threads: the crew sweeps with those it has.
    }
#endif
}

void SweepCrew::Work(std::uint64_t seen)
{
    while (AwaitStretch(seen)) {
        TakeParts();
    }
}

bool SweepCrew::AwaitStretch(std::uint64_t &seen)
{
    const auto arrived = [this, &seen] { return m_ending || m_stretch != seen; };
    if (!LookUntil(arrived, kLookForStretch)) {
        std::unique_lock lock(m_mutex);
        ++m_sleepers;
        m_wake.wait(lock, arrived);
        --m_sleepers;
    }
    seen = m_stretch;
    return !m_ending;
}

void SweepCrew::TakeParts()
{
    std::unique_lock lock(m_mutex);
    while (m_parts && !m_stopKnown) {
        const std::uint64_t stretch = m_stretch;
        const std::optional<SweepPart> part = m_parts->Next();
        if (!part) {
            break;
        }
        const SweepPath path = m_path;
        const HeldReadings held = m_held;
        lock.unlock();
        const std::int64_t stop = calc::FindStoppingDivider(path, held, part->first, part->last);
        lock.lock();
        // A part after the stop, which the caller has not waited for, counts for nothing.
        if (m_stretch == stretch && m_parts->Report(part->index, stop)) {
            m_stopKnown = true;
            m_stopFound.notify_all();
        }
    }
}

void SweepCrew::AwaitStop()
{
    const auto known = [this] { return m_stopKnown.load(); };
    if (!LookUntil(known, kLookForStop)) {
        std::unique_lock lock(m_mutex);
        m_stopFound.wait(lock, known);
    }
}

} // namespace calc
