// SPDX-License-Identifier: MIT
#include "web/web_window.h"

#include "calc/calculation_run.h"
#include "form/accessible_names.h"
#include "form/layout.h"

#include <emscripten.h>

#include <chrono>

// What the page's script does for the window (the `page` object the module is created with).
// Texts go over as a pointer and a byte count of UTF-8 in the module's memory.
// clang-format off
EM_JS(void, PageCreateControl, (const char *name, std::size_t nameSize, int kind,
    const char *container, std::size_t containerSize, const char *caption,
    std::size_t captionSize, const char *accessibleName, std::size_t accessibleNameSize,
    int left, int top, int width, int height, int tabIndex, bool whiteBackground), {
    const page = Module.page;
    page.createControl({ name: page.text(name, nameSize), kind,
        container: page.text(container, containerSize), caption: page.text(caption, captionSize),
        accessibleName: page.text(accessibleName, accessibleNameSize),
        left, top, width, height, tabIndex, whiteBackground });
});
EM_JS(void, PageCreateWindow, (const void *window, const char *caption, std::size_t captionSize,
    int width, int height, const char *paneFont, std::size_t paneFontSize, double panePoints,
    int tabStop), {
    Module.page.createWindow(window, Module.page.text(caption, captionSize), width, height,
        Module.page.text(paneFont, paneFontSize), panePoints, tabStop);
});
EM_JS(void, PageSetBoxText, (int number, const char *text, std::size_t size), {
    Module.page.setBoxText(number, Module.page.text(text, size));
});
EM_JS(void, PageSetOption, (int number, bool selected), {
    Module.page.setOption(number, selected);
});
EM_JS(void, PageShowProgress, (double minimum, double maximum, double value), {
    Module.page.showProgress(minimum, maximum, value);
});
EM_JS(void, PageShowPane, (bool reset), {
    Module.page.showPane(reset);
});
EM_JS(void, PageSetRunning, (bool running), {
    Module.page.setRunning(running);
});
EM_JS(int, PageNumberFormat, (char *decimal, char *group, int capacity), {
    return Module.page.numberFormat(decimal, group, capacity);
});
EM_ASYNC_JS(void, PageShowErrorBox, (const char *title, std::size_t titleSize, const char *text,
    std::size_t textSize), {
    await Module.page.showErrorBox(Module.page.text(title, titleSize),
        Module.page.text(text, textSize));
});
EM_ASYNC_JS(void, PageTurn, (), {
    await Module.page.turn();
});
// clang-format on

namespace web {
namespace {

using form::ControlKind;
using form::ControlRow;
using form::Pixels;

std::size_t Number(const ControlRow &row)
{
    return static_cast<std::size_t>(form::ControlNumber(row.name));
}

} // namespace

WebWindow::WebWindow()
{
    CreateControls();
    ApplyDefaults();
}

void WebWindow::CreateControls()
{
    // The page reads the pane through this window from the first time it shows it, here.
    PageCreateWindow(this, form::kWindowCaption.data(), form::kWindowCaption.size(),
        Pixels(form::kClientWidth), Pixels(form::kClientHeight), form::kPaneFontFamily.data(),
        form::kPaneFontFamily.size(), form::kPaneFontPoints, Pixels(form::kPaneTabStopTwips));
    for (const ControlRow &row : form::kControls) {
        const std::string accessibleName = form::AccessibleName(row);
        PageCreateControl(row.name.data(), row.name.size(), static_cast<int>(row.kind),
            row.container.data(), row.container.size(), row.caption.data(), row.caption.size(),
            accessibleName.data(), accessibleName.size(), Pixels(row.left), Pixels(row.top),
            Pixels(row.width), Pixels(row.height), row.tabIndex, row.whiteBackground);
    }
}

void WebWindow::ApplyDefaults()
{
    for (const ControlRow &row : form::kControls) {
        if (row.kind == ControlKind::TextBox) {
            m_fieldTexts.at(Number(row)) = row.caption;
            PageSetBoxText(form::ControlNumber(row.name), row.caption.data(), row.caption.size());
        } else if (row.kind == ControlKind::Option) {
            m_options.at(Number(row)) = row.selected;
            PageSetOption(form::ControlNumber(row.name), row.selected);
        }
    }
    SetPaneText({});
    ShowRunState();
}

void WebWindow::ButtonClicked(int number)
{
    for (calc::Side side : { calc::Side::RF, calc::Side::IF }) {
        if (form::ControlNumber(calc::ProfileOf(side).startButton) == number) {
            Calculate(side);
        }
    }
}

char *WebWindow::FieldBuffer(int number, std::size_t bytes)
{
    std::string &text = m_fieldTexts.at(static_cast<std::size_t>(number));
    text.resize(bytes);
    return text.data();
}

void WebWindow::OptionSelectedByUser(int number)
{
    const ControlRow *selected = nullptr;
    for (const ControlRow &row : form::kControls) {
        if (row.kind == ControlKind::Option && form::ControlNumber(row.name) == number) {
            selected = &row;
        }
    }
    if (selected == nullptr) {
        return;
    }
    for (const ControlRow &row : form::kControls) {
        if (row.kind == ControlKind::Option && row.container == selected->container) {
            m_options.at(Number(row)) = &row == selected;
        }
    }
}

std::string_view WebWindow::CopyLines(std::size_t first, std::size_t last)
{
    m_copied.clear();
    for (std::size_t line = first; line <= last && line < m_pane.LineCount(); ++line) {
        m_copied.append(m_pane.Line(line));
        if (line != last) {
            m_copied += '\n';
        }
    }
    return m_copied;
}

void WebWindow::Calculate(calc::Side side)
{
    if (m_running) {
        return;
    }
    // No second run may start inside this one's yields. Nothing throws (the module is built
    // without exceptions), so the buttons come back below however the run ends.
    m_running = true;
    PageSetRunning(true);
    m_lastClockReading = std::chrono::steady_clock::now();
    m_pacer.Start(m_lastClockReading);
    m_reportTooLong = false;
    calc::RunCalculation(side, *this);
    ShowRunState();
    m_pane.ReleaseSpareMemory();
    m_running = false;
    PageSetRunning(false);
}

std::string_view WebWindow::FieldText(calc::Box box)
{
    return m_fieldTexts.at(static_cast<std::size_t>(box));
}

bool WebWindow::OptionSelected(calc::OptionButton button)
{
    return m_options.at(static_cast<std::size_t>(button));
}

void WebWindow::SetMatchCount(calc::Box counter, std::string_view text)
{
    m_pendingCounts.at(static_cast<std::size_t>(counter)).emplace(text);
}

void WebWindow::SetPaneText(std::string_view text)
{
    m_pane.Set(text);
    m_paneReset = true;
}

void WebWindow::AppendPaneText(std::string_view text)
{
    m_pane.Append(text);
    if (m_pane.Size() > m_largestReport && m_running) {
        m_reportTooLong = true;
    }
}

// The bar is given its range and value only at a frame, when the page could show them anyway.
void WebWindow::SetProgressMaximum(std::int64_t maximum)
{
    m_progressMaximum = maximum;
}

void WebWindow::SetProgressMinimum(std::int64_t minimum)
{
    m_progressMinimum = minimum;
}

void WebWindow::SetProgressValue(std::int64_t value)
{
    m_progressValue = value;
}

void WebWindow::ShowErrorBox(std::string_view title, std::string_view text)
{
    ShowRunState(); // the box comes up over the divider that raised it
    PageShowErrorBox(title.data(), title.size(), text.data(), text.size());
}

calc::AfterYield WebWindow::Yield()
{
    if (m_pacer.ClockDue(m_progressValue)) {
        // A page's clock moves in steps (a millisecond in Firefox, 0.1 ms in Chromium): a
        // check within a step would take the dividers since the last one as swept in no time,
        // or in a whole step, and the quiet blocks would shrink to nothing. The pacer looks
        // only at readings that moved, and sees a step's dividers in a step's time.
        const auto now = std::chrono::steady_clock::now();
        if (now == m_lastClockReading) {
            return m_reportTooLong ? StopTooLongReport() : calc::AfterYield::Continue;
        }
        m_lastClockReading = now;
        const auto turn = m_pacer.CheckClock(now, m_progressValue);
        if (turn != form::YieldPacer::Turn::None) {
            // The browser draws when it likes; the page changes what it shows only at a frame.
            if (turn == form::YieldPacer::Turn::EventsAndFrame) {
                ShowRunState();
            }
            PageTurn();
            m_pacer.TurnEnded(std::chrono::steady_clock::now());
        }
    }
    if (m_reportTooLong) {
        return StopTooLongReport();
    }
    return calc::AfterYield::Continue;
}

// A sweep of billions of listed dividers would fill the memory before it ended; the window
// stops it at a report no one could read through, and says so.
calc::AfterYield WebWindow::StopTooLongReport()
{
    m_reportTooLong = false;
    ShowErrorBox(calc::kErrorBoxTitle, form::ReportTooLongMessage(m_largestReport));
    return calc::AfterYield::StopSweep;
}

// The page turns its event loop only in a yield the run makes: a yield the run leaves out
// cannot be one that would have turned.
std::int64_t WebWindow::QuietYields()
{
    return m_pacer.QuietYields();
}

void WebWindow::ShowRunState()
{
    for (std::size_t number = 0; number < m_pendingCounts.size(); ++number) {
        if (std::optional<std::string> &count = m_pendingCounts.at(number)) {
            m_fieldTexts.at(number) = *count;
            PageSetBoxText(static_cast<int>(number), count->data(), count->size());
            count.reset();
        }
    }
    PageShowProgress(static_cast<double>(m_progressMinimum), static_cast<double>(m_progressMaximum),
        static_cast<double>(m_progressValue));
    PageShowPane(m_paneReset);
    m_paneReset = false;
}

calc::NumberFormat WebWindow::UserNumberFormat()
{
    // The browser's language gives the separators, as the desktop's locale does; each is one
    // character of at most four UTF-8 bytes, or none.
    constexpr int kCapacity = 16;
    std::array<char, kCapacity> decimal {};
    std::array<char, kCapacity> group {};
    PageNumberFormat(decimal.data(), group.data(), kCapacity);
    return { std::string(decimal.data()), std::string(group.data()) };
}

} // namespace web
