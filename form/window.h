// SPDX-License-Identifier: MIT
// What the calculator's window does, once for every front-end: it keeps each box's text and
// each option's state as the user leaves them, starts a run from a start button, lends the run
// the operations it needs, paces its yields, caps its report, and tells its front-end what to
// draw and when. A front-end draws, shows the error box and hands the event loop a turn; nothing
// of the logic is its own.
#pragma once

#include "calc/window_ops.h"
#include "form/layout.h"
#include "form/pane_model.h"
#include "form/report_limit.h"
#include "form/yield_pacer.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace form {

// The progress bar as it shows a run: the range, and the value within it, or none for a bar
// that shows no progress (a range whose minimum lies above its maximum, or a value below it).
struct Progress {
    std::int64_t minimum = 0;
    std::int64_t maximum = 100;
    std::optional<std::int64_t> value;

    // How full the bar is, from 0 to 1.
    double Fraction() const;
};

// What a front-end does for its window.
class Surface {
public:
    virtual ~Surface() = default;

    virtual void DrawBoxText(ControlId box, std::string_view text) = 0;
    virtual void DrawOption(ControlId option, bool selected) = 0;
    virtual void DrawProgress(const Progress &progress) = 0;
    // The pane's model has changed: new rows, a new text, or the view moved.
    virtual void DrawPane() = 0;
    // A run starts or ends; the start buttons are disabled while it goes on.
    virtual void DrawRunning(bool /*running*/) { }
    virtual void DrawEnabled(ControlId control, bool enabled) = 0;
    // The control that has the keyboard focus, or none when no control of the window has it (as a
    // start button's focus goes nowhere when it is disabled); and giving it to a control.
    virtual std::optional<ControlId> FocusedControl() = 0;
    virtual void Focus(ControlId control) = 0;
    // The pane's text is about to be replaced: what another program may still ask of the old
    // text (a selection offered to it) is taken now.
    virtual void PaneTextReplacing() { }
    // A modal box with an error icon, the title, the text and one OK button; returns when the
    // user has closed it.
    virtual void ShowErrorBox(std::string_view title, std::string_view text) = 0;
    // Handles the pending events (input, drawing), then returns.
    virtual void TurnEventLoop() = 0;
    virtual calc::NumberFormat UserNumberFormat() = 0;
    // The clock a run's yields are paced by.
    virtual std::chrono::steady_clock::time_point Now() { return std::chrono::steady_clock::now(); }
    // A front-end that sweeps the run's quiet stretches on more cores (the desktop's threads,
    // the page's workers) gives the stretch's stop; without one, the window's thread sweeps it.
    virtual std::optional<std::int64_t> SweepElsewhere(calc::SweepPath /*path*/,
        const calc::HeldReadings & /*held*/, std::int64_t /*first*/, std::int64_t /*last*/)
    {
        return std::nullopt;
    }

protected:
    Surface() = default;
    Surface(const Surface &) = default;
    Surface &operator=(const Surface &) = default;
    Surface(Surface &&) = default;
    Surface &operator=(Surface &&) = default;
};

class Window final : public calc::WindowOps {
public:
    using Clock = std::chrono::steady_clock;

    explicit Window(Surface &surface)
        : m_surface(surface)
    {
    }

    // Gives every control its start-up state and has the front-end draw it.
    void ApplyDefaults();

    // What the user does.
    void BoxEdited(ControlId box, std::string_view text) { m_texts.at(Index(box)) = text; }
    // A box's text, for a front-end that writes the user's bytes straight into it.
    std::string &BoxTextToEdit(ControlId box) { return m_texts.at(Index(box)); }
    // The option is selected, and the others of its frame are cleared.
    void OptionChosen(ControlId option);
    // A click on a start button runs its side, and returns when the run has ended. While the run
    // yields, the front-end goes on handling events; a click on either button starts nothing.
    // A focus that went nowhere when the button was disabled comes back to it at the end, so that
    // Space runs again.
    void ButtonClicked(ControlId button);
    // The window is closing: a run under way ends at its next yield, and shows no more boxes.
    void Closing();

    std::string_view BoxText(ControlId box) const { return m_texts.at(Index(box)); }
    bool IsSelected(ControlId option) const { return m_selected.at(Index(option)); }
    // Whether Tab stops at the control: at each that takes the focus, but at an option button only
    // while it is selected, so that Tab enters an option group at its selection and the next Tab
    // leaves the group. The arrow keys move the selection within the group.
    bool IsTabStop(ControlId id) const
    {
        return TakesFocus(Row(id).kind) && (Row(id).kind != ControlKind::Option || IsSelected(id));
    }
    bool IsRunning() const { return m_running; }
    PaneModel &Pane() { return m_pane; }
    const PaneModel &Pane() const { return m_pane; }
    // A run whose report grows beyond this many bytes is stopped, with a box that says why.
    void SetLargestReport(std::size_t bytes) { m_largestReport = bytes; }
    // How the window paces a run's yields, from the next look at the clock on.
    void SetPacing(const Pacing &pacing) { m_pacer.SetPacing(pacing); }

    std::string_view FieldText(calc::Box box) override { return BoxText(ControlOf(box)); }
    bool OptionSelected(calc::OptionButton button) override
    {
        return IsSelected(ControlOf(button));
    }
    void SetMatchCount(calc::Box counter, std::string_view text) override;
    void SetPaneText(std::string_view text) override;
    void AppendPaneText(std::string_view text) override;
    void SetProgressMaximum(std::int64_t maximum) override { m_progress.maximum = maximum; }
    void SetProgressMinimum(std::int64_t minimum) override { m_progress.minimum = minimum; }
    void SetProgressValue(std::int64_t value) override { m_progressValue = value; }
    void ShowErrorBox(std::string_view title, std::string_view text) override;
    calc::AfterYield Yield() override;
    // The window turns its event loop only when it looks at the clock, and it looks at the
    // clock only in a yield the run makes: a yield the run leaves out cannot be one that would
    // have turned.
    std::int64_t QuietYields() override { return m_pacer.QuietYields(); }
    std::int64_t SweepQuietly(calc::SweepPath path, const calc::HeldReadings &held,
        std::int64_t first, std::int64_t last) override;
    calc::NumberFormat UserNumberFormat() override { return m_surface.UserNumberFormat(); }

private:
    void Calculate(calc::Side side);
    calc::AfterYield StopTooLongReport();
    // Brings the match counters, the progress bar and the pane up to what the run has set. A run
    // changes them at every divider; they are drawn only at its frames, since nobody could see
    // a change in between, and drawing costs far more than sweeping.
    void ShowRunState();

    Surface &m_surface;
    std::array<std::string, kControlCount> m_texts;
    std::array<bool, kControlCount> m_selected {};
    // What a run has set and the screen shows from its next frame on.
    std::array<std::optional<std::string>, kControlCount> m_pendingTexts;
    PaneModel m_pane;
    Progress m_progress;
    std::int64_t m_progressValue = -1;
    YieldPacer m_pacer;
    Clock::time_point m_lastClockReading;
    std::size_t m_largestReport = kLargestReport;
    bool m_reportTooLong = false;
    bool m_running = false;
    bool m_closing = false;
};

} // namespace form
