// SPDX-License-Identifier: MIT
#include "web/web_window.h"

#include "web/page_controls.h"

#include <emscripten.h>

#include <array>

// What the page's script does for the window (the `page` object the module is created with).
// Texts go over as a pointer and a byte count of UTF-8 in the module's memory; a control goes
// over as its identity.
// clang-format off
EM_JS(void, PageSetEnabled, (int id, bool enabled), { Module.page.setEnabled(id, enabled); });
EM_JS(int, PageFocusedControl, (), { return Module.page.focusedControl(); });
EM_JS(void, PageFocus, (int id), { Module.page.focus(id); });
EM_JS(void, PageSetBoxText, (int id, const char *text, std::size_t size), {
    Module.page.setBoxText(id, Module.page.text(text, size));
});
EM_JS(void, PageSetOption, (int id, bool selected), { Module.page.setOption(id, selected); });
EM_JS(void, PageShowProgress, (double fraction), { Module.page.showProgress(fraction); });
EM_JS(void, PageShowPane, (), { Module.page.pane.draw(); });
EM_JS(void, PageSetRunning, (bool running), { Module.page.setRunning(running); });
EM_JS(int, PageNumberFormat, (char *decimal, char *group, int capacity), {
    return Module.page.numberFormat(decimal, group, capacity);
});
EM_ASYNC_JS(void, PageShowErrorBox, (const char *title, std::size_t titleSize, const char *text,
    std::size_t textSize), {
    await Module.page.showErrorBox(Module.page.text(title, titleSize),
        Module.page.text(text, textSize));
});
EM_ASYNC_JS(void, PageTurn, (), { await Module.page.turn(); });
// clang-format on

namespace web {

WebWindow::WebWindow()
{
    m_pane.FontChanged();
    CreatePageControls(this);
    m_window.ApplyDefaults();
}

void WebWindow::DrawBoxText(form::ControlId box, std::string_view text)
{
    PageSetBoxText(Number(box), text.data(), text.size());
}

void WebWindow::DrawOption(form::ControlId option, bool selected)
{
    PageSetOption(Number(option), selected);
}

void WebWindow::DrawProgress(const form::Progress &progress)
{
    PageShowProgress(progress.Fraction());
}

void WebWindow::DrawPane()
{
    PageShowPane();
}

void WebWindow::DrawRunning(bool running)
{
    PageSetRunning(running);
}

void WebWindow::DrawEnabled(form::ControlId control, bool enabled)
{
    PageSetEnabled(Number(control), enabled);
}

std::optional<form::ControlId> WebWindow::FocusedControl()
{
    const int id = PageFocusedControl();
    return id < 0 ? std::nullopt : std::optional(static_cast<form::ControlId>(id));
}

void WebWindow::Focus(form::ControlId control)
{
    PageFocus(Number(control));
}

void WebWindow::ShowErrorBox(std::string_view title, std::string_view text)
{
    PageShowErrorBox(title.data(), title.size(), text.data(), text.size());
}

void WebWindow::TurnEventLoop()
{
    PageTurn();
}

std::optional<std::int64_t> WebWindow::SweepElsewhere(
    calc::SweepPath path, const calc::HeldReadings &held, std::int64_t first, std::int64_t last)
{
    return m_workers.Sweep(m_window, this, path, held, first, last);
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
