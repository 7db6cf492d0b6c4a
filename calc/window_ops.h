// SPDX-License-Identifier: MIT
// What a calculation run needs from the window, and all it may touch of it. The window
// implements this; so do the tests' recording fake and the benchmarks' null window.
#pragma once

#include "calc/number_reading.h"
#include "calc/side_profile.h"
#include "calc/sweep_kernel.h"

#include <cstdint>
#include <string_view>

namespace calc {

// What the run does once the window has handled its events.
enum class AfterYield : std::uint8_t {
    Continue,
    StopSweep, // the window has told the user why: no more dividers, the footer follows
    Close, // the window is closing: the run ends at once, writing nothing more
};

class WindowOps {
public:
    virtual ~WindowOps() = default;

    // The box's current text, exactly as typed. The view stays valid until the window next
    // handles events, in Yield, ShowErrorBox or SweepQuietly.
    virtual std::string_view FieldText(Box box) = 0;

    // Whether the option button is selected.
    virtual bool OptionSelected(OptionButton button) = 0;

    // Replaces the text of a match counter (Text10 or Text11).
    virtual void SetMatchCount(Box counter, std::string_view text) = 0;

    // Replaces the result pane's whole text, and adds text at its end. The run writes the header
    // with SetPaneText and every later line with AppendPaneText, so that writing a report costs
    // its length and not its length squared.
    virtual void SetPaneText(std::string_view text) = 0;
    virtual void AppendPaneText(std::string_view text) = 0;

    // The progress bar's range and value. A run sets the maximum first, then the minimum, then
    // the value once per divider; a window clamps what its bar cannot hold.
    virtual void SetProgressMaximum(std::int64_t maximum) = 0;
    virtual void SetProgressMinimum(std::int64_t minimum) = 0;
    virtual void SetProgressValue(std::int64_t value) = 0;

    // A modal box with an error icon, the title, the text and one OK button; returns when the user
    // has closed it.
    virtual void ShowErrorBox(std::string_view title, std::string_view text) = 0;

    // Lets the window handle its pending events, and says whether the run goes on.
    virtual AfterYield Yield() = 0;

    // Asked after a divider's yield: how many of the next dividers' yields the window would
    // answer Continue without handling an event, so that nothing the run reads could change.
    // The run tries that many dividers without yielding or reading, setting the progress value
    // only for a divider it leaves the block at; a match ends the block. A window that turns
    // its event loop at every yield says 0, and the run yields once per divider.
    virtual std::int64_t QuietYields() { return 0; }

    // The dividers from `first` to `last` that the run tries without yielding: the first at
    // which the sweep stops, as FindStoppingDivider gives it. A window with more cores sweeps
    // them on all of them at once. One that lets its events be handled meanwhile (the page,
    // while its workers sweep) shows the run what they changed only from this stop on, as if
    // they had come at its yield: the dividers before it were tried with the readings held.
    virtual std::int64_t SweepQuietly(
        SweepPath path, const HeldReadings &held, std::int64_t first, std::int64_t last)
    {
        return FindStoppingDivider(path, held, first, last);
    }

    // How the user writes numbers, from the window's locale.
    virtual NumberFormat UserNumberFormat() = 0;

protected:
    WindowOps() = default;
    WindowOps(const WindowOps &) = default;
    WindowOps &operator=(const WindowOps &) = default;
    WindowOps(WindowOps &&) = default;
    WindowOps &operator=(WindowOps &&) = default;
};

} // namespace calc
