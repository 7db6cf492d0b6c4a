// SPDX-License-Identifier: MIT
// The page's workers (sweep_workers.js) from the window's side: a quiet stretch of a run handed
// to them in parts while the run awaits its stop, as it awaits a turn, and the pacing of yields
// that suits parts sent by message.
#pragma once

#include "calc/sweep_parts.h"
#include "form/window.h"

#include <cstddef>
#include <cstdint>
#include <optional>

namespace web {

class PageWorkers {
public:
    // The stretch's stop, swept on the workers the page has ready, with the window paced for
    // them; with none ready, nothing, the window paced as usual, and its own thread sweeps it.
    // `owner` is what the page's script passes back to the module to hand out parts.
    std::optional<std::int64_t> Sweep(form::Window &window, const void *owner, calc::SweepPath path,
        const calc::HeldReadings &held, std::int64_t first, std::int64_t last);

    // While the run awaits them: the next part of the stretch for a worker, if any is left, and
    // then its dividers; a part's stop, and whether the stretch's stop is now known (also once
    // the stretch has ended, when what a worker still answers for it is dropped).
    std::optional<std::size_t> HandOutPart();
    const calc::SweepPart &PartHandedOut() const { return m_handedOut; }
    bool PartDone(std::size_t index, std::int64_t stop);

private:
    calc::SweepParts *m_parts = nullptr;
    calc::SweepPart m_handedOut;
    bool m_lastStretchStopped = true;
};

} // namespace web
