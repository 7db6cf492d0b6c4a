// SPDX-License-Identifier: MIT
// The module's entry points for the page's workers (sweep_workers.js). A worker's own copy of the
// module sweeps the parts it is sent; the page's copy hands the parts of the run's stretch out
// and takes their stops, while the run awaits them.
#include "calc/sweep_kernel.h"
#include "web/web_window.h"

#include <emscripten.h>

#include <cstdint>
#include <optional>

using web::WebWindow;

extern "C" {

// On a worker: the first divider from `first` to `last` at which the sweep stops, last + 1 for
// none, on the path the page's run sweeps on. Dividers are whole doubles, exact below 2^53.
EMSCRIPTEN_KEEPALIVE double WebFindStoppingDivider(
    int path, double crystal, double wanted, double maxError, double first, double last)
{
    const calc::HeldReadings held { .crystal = crystal, .wanted = wanted, .maxError = maxError };
    return static_cast<double>(calc::FindStoppingDivider(static_cast<calc::SweepPath>(path), held,
        static_cast<std::int64_t>(first), static_cast<std::int64_t>(last)));
}

// The path this module sweeps on, for a sweep of its kernel alone (the bench's).
EMSCRIPTEN_KEEPALIVE int WebBestSweepPath()
{
    return static_cast<int>(calc::BestSweepPath());
}

// On the page, while the run awaits its workers: the next part of the stretch, -1 for none; its
// dividers are then WebSweepPartFirst to WebSweepPartLast.
EMSCRIPTEN_KEEPALIVE int WebNextSweepPart(WebWindow *window)
{
    const std::optional<std::size_t> index = window->Workers().HandOutPart();
    return index ? static_cast<int>(*index) : -1;
}

EMSCRIPTEN_KEEPALIVE double WebSweepPartFirst(WebWindow *window)
{
    return static_cast<double>(window->Workers().PartHandedOut().first);
}

EMSCRIPTEN_KEEPALIVE double WebSweepPartLast(WebWindow *window)
{
    return static_cast<double>(window->Workers().PartHandedOut().last);
}

// The stop a worker found in part `index`: whether the stretch's stop is now known, and the run
// may go on.
EMSCRIPTEN_KEEPALIVE bool WebSweepPartDone(WebWindow *window, int index, double stop)
{
    return window->Workers().PartDone(
        static_cast<std::size_t>(index), static_cast<std::int64_t>(stop));
}
}
