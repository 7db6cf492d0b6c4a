// SPDX-License-Identifier: MIT
#include "web/web_window.h"

#include "form/accessible_names.h"
#include "form/layout.h"

#include <emscripten.h>

#include <array>

// What the page's script does for the window (the `page` object the module is created with).
// Texts go over as a pointer and a byte count of UTF-8 in the module's memory; a control goes
// over as its identity.
// clang-format off
EM_JS(void, PageCreateWindow, (const void *window, int windowId, const char *caption,
    std::size_t captionSize, int width, int height, const char *paneFont,
    std::size_t paneFontSize), {
    const page = Module.page;
    page.createWindow(window, windowId, page.text(caption, captionSize), width, height,
        page.text(paneFont, paneFontSize));
});
EM_JS(void, PageCreateControl, (int id, const char *kind, std::size_t kindSize,
    const char *name, std::size_t nameSize, int container, const char *caption,
    std::size_t captionSize, const char *accessibleName, std::size_t accessibleNameSize,
    bool whiteBackground), {
    const page = Module.page;
    page.createControl({ id, kind: page.text(kind, kindSize), name: page.text(name, nameSize),
        container, caption: page.text(caption, captionSize),
        accessibleName: page.text(accessibleName, accessibleNameSize), whiteBackground });
});
EM_JS(void, PageArrange, (const form::ControlId *order, std::size_t count), {
    Module.page.arrange(Array.from(HEAPU8.subarray(order, order + count)));
});
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
// How wide the page draws UTF-8 text in the pane's font, in CSS pixels.
EM_JS(double, PageTextWidth, (const char *text, std::size_t size), {
    return Module.page.textWidth(Module.page.text(text, size));
});
// clang-format on

namespace web {
namespace {

int Number(form::ControlId id)
{
    return static_cast<int>(form::Index(id));
}

} // namespace

WebWindow::WebWindow()
{
    using form::Pixels;
    // The page reads the pane through this window from the first time it draws it, below.
    PageCreateWindow(this, Number(form::kForm1), form::kWindowCaption.data(),
        form::kWindowCaption.size(), Pixels(form::kClientWidth), Pixels(form::kClientHeight),
        form::kPaneFontFamily.data(), form::kPaneFontFamily.size());
    for (std::size_t i = 0; i < form::kControlCount; ++i) {
        const auto id = static_cast<form::ControlId>(i);
        const form::ControlRow &row = form::Row(id);
        const std::string_view kind = form::KindName(row.kind);
        const std::string accessibleName = form::AccessibleName(row);
        PageCreateControl(Number(id), kind.data(), kind.size(), row.name.data(), row.name.size(),
            Number(form::ContainerOf(id)), row.caption.data(), row.caption.size(),
            accessibleName.data(), accessibleName.size(), row.whiteBackground);
    }
    PaneFontChanged();
    const std::vector<form::ControlId> order = form::ReadingOrder();
    PageArrange(order.data(), order.size());
    m_window.ApplyDefaults();
}

void WebWindow::PaneFontChanged()
{
    m_layout.SetFont(form::Pixels(form::kPaneTabStopTwips),
        [](std::string_view text) { return PageTextWidth(text.data(), text.size()); });
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
