// SPDX-License-Identifier: MIT
#include "web/page_workers.h"

#include <emscripten.h>

#include <algorithm>
#include <chrono>

// The workers the page sweeps on: how many can take parts now (the first call starts them); a
// stretch handed to them, whose parts they take through WebNextSweepPart and whose stops they
// give through WebSweepPartDone (worker_exports.cpp); the wait for its stop; and its end, after
// which what they still answer for it is dropped.
// clang-format off
EM_JS(int, PageWorkersReady, (), {
    const workers = Module.page.workers;
    return workers ? workers.ready() : 0;
});
EM_JS(void, PageBeginOnWorkers, (const void *owner, int path, double crystal, double wanted,
    double maxError), {
    Module.page.workers.begin(Module, owner, { path, crystal, wanted, maxError });
});
EM_ASYNC_JS(void, PageAwaitWorkers, (), { await Module.page.workers.stopKnown(); });
EM_JS(void, PageEndOnWorkers, (), { Module.page.workers.end(); });
// clang-format on

namespace web {
namespace {

// A worker answers a part some 0.1 ms after it is sent, and each message costs it some 50 us:
// blocks of several milliseconds between the window's turns, in parts of about a millisecond
// (the page handles its events while it awaits its workers). The lead part after a stretch that
// ended at a match finds the next one sooner than a worker could answer if it comes as soon.
constexpr form::Pacing kWorkerPacing { .quietBlockTime = std::chrono::milliseconds(8) };
constexpr calc::SweepSharing kWorkerSharing { .cores = 1,
    .leadPart = 262'144,
    .smallestPart = 1'048'576,
    .partsPerCore = 8,
    .largestPart = 2'097'152 };

} // namespace

std::optional<std::int64_t> PageWorkers::Sweep(form::Window &window, const void *owner,
    calc::SweepPath path, const calc::HeldReadings &held, std::int64_t first, std::int64_t last)
{
    calc::SweepSharing sharing = kWorkerSharing;
    sharing.cores = static_cast<unsigned>(std::max(PageWorkersReady(), 0));
    window.SetPacing(sharing.cores > 0 ? kWorkerPacing : form::Pacing {});
    if (sharing.cores == 0) {
        return std::nullopt;
    }
    return calc::SweepShared(sharing, m_lastStretchStopped, path, held, first, last,
        [this, owner, path, &held](calc::SweepParts &parts) {
            m_parts = &parts;
            PageBeginOnWorkers(
                owner, static_cast<int>(path), held.crystal, held.wanted, held.maxError);
            PageAwaitWorkers();
            PageEndOnWorkers();
            m_parts = nullptr;
        });
}

std::optional<std::size_t> PageWorkers::HandOutPart()
{
    const std::optional<calc::SweepPart> part = m_parts ? m_parts->Next() : std::nullopt;
    if (!part) {
        return std::nullopt;
    }
    m_handedOut = *part;
    return part->index;
}

bool PageWorkers::PartDone(std::size_t index, std::int64_t stop)
{
    return !m_parts || m_parts->Report(index, stop);
}

} // namespace web
