// SPDX-License-Identifier: MIT
#include "form/window.h"

#include "calc/calculation_run.h"
#include "calc/report_text.h"

#include <algorithm>

namespace form {

double Progress::Fraction() const
{
    if (!value) {
        return 0.0;
    }
    if (maximum == minimum) {
        return 1.0;
    }
    return static_cast<double>(*value - minimum) / static_cast<double>(maximum - minimum);
}

void Window::ApplyDefaults()
{
    for (std::size_t i = 0; i < kControlCount; ++i) {
        const ControlRow &row = kControls.at(i);
        const auto id = static_cast<ControlId>(i);
        if (row.kind == ControlKind::TextBox) {
            m_texts.at(i) = row.caption;
            m_surface.DrawBoxText(id, row.caption);
        } else if (row.kind == ControlKind::Option) {
            m_selected.at(i) = row.selected;
            m_surface.DrawOption(id, row.selected);
        }
    }
    SetPaneText({});
    ShowRunState();
}

void Window::OptionChosen(ControlId option)
{
    for (std::size_t i = 0; i < kControlCount; ++i) {
        if (kControls.at(i).kind == ControlKind::Option
            && ContainerOf(static_cast<ControlId>(i)) == ContainerOf(option)) {
            m_selected.at(i) = static_cast<ControlId>(i) == option;
        }
    }
}

void Window::ButtonClicked(ControlId button)
{
    for (calc::Side side : { calc::Side::RF, calc::Side::IF }) {
        if (ControlOf(calc::ProfileOf(side).startButton) == button) {
            Calculate(side);
        }
    }
}

void Window::Closing()
{
    if (m_running) {
        m_closing = true;
    }
}

void Window::Calculate(calc::Side side)
{
    if (m_running) {
        return;
    }
    // No second run may start inside this one's yields; the buttons come back however it ends.
    struct RunScope {
        Window &window;
        ControlId button;
        RunScope(Window &w, ControlId startedBy)
            : window(w)
            , button(startedBy)
        {
            window.m_running = true;
            Enable(false);
        }
        ~RunScope()
        {
            window.m_running = false;
            Enable(true);
            if (!window.m_closing && !window.m_surface.FocusedControl()) {
                window.m_surface.Focus(button);
            }
        }
        void Enable(bool enabled)
        {
            window.m_surface.DrawRunning(!enabled);
            for (calc::Side each : { calc::Side::RF, calc::Side::IF }) {
                window.m_surface.DrawEnabled(ControlOf(calc::ProfileOf(each).startButton), enabled);
            }
        }
        RunScope(const RunScope &) = delete;
        RunScope &operator=(const RunScope &) = delete;
    } scope(*this, ControlOf(calc::ProfileOf(side).startButton));
    m_lastClockReading = m_surface.Now();
    m_pacer.Start(m_lastClockReading);
    m_reportTooLong = false;
    calc::RunCalculation(side, *this);
    ShowRunState();
    m_pane.ReleaseSpareMemory();
}

void Window::SetMatchCount(calc::Box counter, std::string_view text)
{
    m_pendingTexts.at(Index(ControlOf(counter))).emplace(text);
}

void Window::SetPaneText(std::string_view text)
{
    m_surface.PaneTextReplacing();
    m_pane.SetText(text);
}

void Window::AppendPaneText(std::string_view text)
{
    m_pane.Append(text);
    if (m_pane.Report().Size() > m_largestReport && m_running) {
        m_reportTooLong = true;
    }
}

void Window::ShowErrorBox(std::string_view title, std::string_view text)
{
    if (m_closing) {
        return; // the user has closed the window: nothing may pop up after it
    }
    ShowRunState(); // the box comes up over the divider that raised it
    m_surface.ShowErrorBox(title, text);
}

calc::AfterYield Window::Yield()
{
    if (m_pacer.ClockDue(m_progressValue)) {
        // Some clocks move in steps (a browser's by a millisecond or a tenth of one): a check
        // within a step would take the dividers since the last one as swept in no time, or in a
        // whole step, and the quiet blocks would shrink to nothing. The pacer sees only readings
        // that moved, and so a step's dividers in a step's time.
        const Clock::time_point now = m_surface.Now();
        if (now != m_lastClockReading) {
            m_lastClockReading = now;
            const YieldPacer::Turn turn = m_pacer.CheckClock(now, m_progressValue);
            if (turn != YieldPacer::Turn::None) {
                if (turn == YieldPacer::Turn::EventsAndFrame) {
                    ShowRunState();
                }
                m_surface.TurnEventLoop();
                m_pacer.TurnEnded(m_surface.Now());
            }
        }
    }
    if (m_closing) {
        return calc::AfterYield::Close;
    }
    if (m_reportTooLong) {
        return StopTooLongReport();
    }
    return calc::AfterYield::Continue;
}

std::int64_t Window::SweepQuietly(
    calc::SweepPath path, const calc::HeldReadings &held, std::int64_t first, std::int64_t last)
{
    if (const std::optional<std::int64_t> stop
        = m_surface.SweepElsewhere(path, held, first, last)) {
        return *stop;
    }
    return calc::FindStoppingDivider(path, held, first, last);
}

// A sweep of billions of listed dividers would fill the memory before it ended; the window
// stops it at a report no one could read through, and says so.
calc::AfterYield Window::StopTooLongReport()
{
    m_reportTooLong = false;
    ShowErrorBox(calc::kErrorBoxTitle, ReportTooLongMessage(m_largestReport));
    return m_closing ? calc::AfterYield::Close : calc::AfterYield::StopSweep;
}

void Window::ShowRunState()
{
    for (std::size_t i = 0; i < kControlCount; ++i) {
        if (std::optional<std::string> &text = m_pendingTexts.at(i)) {
            m_texts.at(i) = *text;
            m_surface.DrawBoxText(static_cast<ControlId>(i), *text);
            text.reset();
        }
    }
    Progress shown { m_progress.minimum, m_progress.maximum, std::nullopt };
    if (shown.minimum > shown.maximum) {
        shown.minimum = shown.maximum;
    } else if (m_progressValue >= shown.minimum) {
        shown.value = std::min(m_progressValue, shown.maximum);
    }
    m_surface.DrawProgress(shown);
    m_pane.SyncView();
    m_surface.DrawPane();
}

} // namespace form
