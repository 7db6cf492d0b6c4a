// SPDX-License-Identifier: MIT
// Threads that sweep a stretch of quiet dividers together: the caller's and the crew's own,
// which start with the first stretch long enough to share, wait for the next one between
// stretches, and end with the crew.
#pragma once

#include "calc/sweep_kernel.h"
#include "calc/sweep_parts.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace calc {

// Parts for threads of one machine: a lead of some 10 to 40 us, parts of at least 3 to 10 us,
// since handing one out costs a fraction of a microsecond, and at most 0.1 to 0.3 ms.
inline constexpr SweepSharing kThreadSharing { .cores = 1,
    .leadPart = 32'768,
    .smallestPart = 8'192,
    .partsPerCore = 16,
    .largestPart = 262'144 };

class SweepCrew {
public:
    // `cores`: how many threads sweep at once, the caller's among them. With one, every stretch
    // is swept on the caller's thread and the crew starts none. `sharing.cores` is ignored.
    explicit SweepCrew(unsigned cores, SweepSharing sharing = kThreadSharing);
    ~SweepCrew();
    SweepCrew(const SweepCrew &) = delete;
    SweepCrew &operator=(const SweepCrew &) = delete;
    SweepCrew(SweepCrew &&) = delete;
    SweepCrew &operator=(SweepCrew &&) = delete;

    // What FindStoppingDivider gives, the stretch split across the crew's cores. Returns once
    // the stop is known; a thread may still finish a part after it, which then counts for
    // nothing. Called from one thread at a time.
    std::int64_t FindStoppingDivider(
        SweepPath path, const HeldReadings &held, std::int64_t first, std::int64_t last);

    unsigned Cores() const { return m_sharing.cores; }
    // Whether this build has threads: WebAssembly without them has the caller sweep every part.
    static bool ThreadsAvailable();
    // How many threads of its own the crew has started so far.
    std::size_t ThreadsStarted() const { return m_threads.size(); }
    // How many of them wait for the next stretch asleep, not looking for it.
    int ThreadsAsleep();

private:
    void StartThreads();
    void Work(std::uint64_t seen);
    // Waits for a stretch after `seen`; false when the crew is ending.
    bool AwaitStretch(std::uint64_t &seen);
    // Sweeps parts of the current stretch until none is left to hand out.
    void TakeParts();
    void AwaitStop();

    SweepSharing m_sharing;
    std::vector<std::thread> m_threads;
    bool m_started = false;
    bool m_lastStopped = true; // whether the last stretch ended at a stop
    std::mutex m_mutex;
    std::condition_variable m_wake; // a new stretch, or the end
    std::condition_variable m_stopFound;
    // Guarded by m_mutex; the atomics are also read without it, to spin on.
    std::atomic<std::uint64_t> m_stretch { 0 };
    std::atomic<bool> m_ending { false };
    std::atomic<bool> m_stopKnown { false };
    int m_sleepers = 0;
    SweepPath m_path = SweepPath::Plain;
    HeldReadings m_held;
    std::optional<SweepParts> m_parts; // of the last stretch
};

} // namespace calc
