// SPDX-License-Identifier: MIT
// The module's entry points for the page's script: the page creates the window once and hands
// its address back with every call, so the module keeps no state of its own. Controls are named
// by their identities, the pane's places by line and column (UTF-16 units of the line as shown).
#include "web/web_window.h"

#include "form/flow.h"

#include <emscripten.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

using form::PaneKey;
using form::PaneModel;
using web::WebWindow;

// How wide the page draws UTF-8 text in the pane's font, in CSS pixels.
// clang-format off
EM_JS(double, PageTextWidth, (const char *text, std::size_t size), {
    return Module.page.textWidth(Module.page.text(text, size));
});
// clang-format on

namespace {

form::ControlId Control(int id)
{
    return static_cast<form::ControlId>(id);
}

PaneModel &Pane(WebWindow *window)
{
    return window->Model().Pane();
}

// The keys the pane moves its caret by, as the DOM names them; with Ctrl, Home and End go to the
// ends of the text.
struct KeyName {
    std::string_view name;
    PaneKey key;
    PaneKey withControl;
};
constexpr std::array kPaneKeys = {
    KeyName { "ArrowLeft", PaneKey::Left, PaneKey::Left },
    KeyName { "ArrowRight", PaneKey::Right, PaneKey::Right },
    KeyName { "ArrowUp", PaneKey::Up, PaneKey::Up },
    KeyName { "ArrowDown", PaneKey::Down, PaneKey::Down },
    KeyName { "PageUp", PaneKey::PageUp, PaneKey::PageUp },
    KeyName { "PageDown", PaneKey::PageDown, PaneKey::PageDown },
    KeyName { "Home", PaneKey::LineStart, PaneKey::TextStart },
    KeyName { "End", PaneKey::LineEnd, PaneKey::TextEnd },
};

} // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE WebWindow *WebCreateWindow()
{
    return new WebWindow();
}

EMSCRIPTEN_KEEPALIVE void WebButtonClicked(WebWindow *window, int id)
{
    window->Model().ButtonClicked(Control(id));
}

// The page puts `bytes` bytes of UTF-8 here: the box's new text.
EMSCRIPTEN_KEEPALIVE char *WebBoxBuffer(WebWindow *window, int id, std::size_t bytes)
{
    std::string &text = window->Model().BoxTextToEdit(Control(id));
    text.resize(bytes);
    return text.data();
}

// Where each control stands for a view `width` CSS px wide: the number of controls, the window's
// width and height, then each control's left, top, width and height, by identity.
EMSCRIPTEN_KEEPALIVE const std::int32_t *WebPlacesForView(WebWindow *window, int width)
{
    const form::WindowPlaces placed = form::PlacesForView(width);
    std::vector<std::int32_t> &numbers = window->Places();
    numbers = { static_cast<std::int32_t>(form::kControlCount), placed.width, placed.height };
    for (const form::Place &place : placed.places) {
        numbers.insert(numbers.end(), { place.left, place.top, place.width, place.height });
    }
    return numbers.data();
}

EMSCRIPTEN_KEEPALIVE void WebOptionChosen(WebWindow *window, int id)
{
    window->Model().OptionChosen(Control(id));
}

EMSCRIPTEN_KEEPALIVE std::size_t WebPaneLineCount(WebWindow *window)
{
    return Pane(window).LineCount();
}

EMSCRIPTEN_KEEPALIVE const char *WebPaneLine(WebWindow *window, std::size_t line)
{
    return Pane(window).Line(line).data();
}

EMSCRIPTEN_KEEPALIVE std::size_t WebPaneLineSize(WebWindow *window, std::size_t line)
{
    return Pane(window).Line(line).size();
}

// The report as the run wrote it, in blocks.
EMSCRIPTEN_KEEPALIVE std::size_t WebPaneBlockCount(WebWindow *window)
{
    return Pane(window).Report().BlockCount();
}

EMSCRIPTEN_KEEPALIVE const char *WebPaneBlock(WebWindow *window, std::size_t block)
{
    return Pane(window).Report().BlockText(block).data();
}

EMSCRIPTEN_KEEPALIVE std::size_t WebPaneBlockSize(WebWindow *window, std::size_t block)
{
    return Pane(window).Report().BlockText(block).size();
}

EMSCRIPTEN_KEEPALIVE double WebPaneSerial(WebWindow *window)
{
    return static_cast<double>(Pane(window).TextSerial());
}

EMSCRIPTEN_KEEPALIVE std::size_t WebPaneTop(WebWindow *window)
{
    return Pane(window).Top();
}

EMSCRIPTEN_KEEPALIVE std::size_t WebPaneAnchorLine(WebWindow *window)
{
    return Pane(window).Anchor().line;
}

EMSCRIPTEN_KEEPALIVE std::size_t WebPaneAnchorColumn(WebWindow *window)
{
    return Pane(window).Anchor().column;
}

EMSCRIPTEN_KEEPALIVE std::size_t WebPaneCaretLine(WebWindow *window)
{
    return Pane(window).Caret().line;
}

EMSCRIPTEN_KEEPALIVE std::size_t WebPaneCaretColumn(WebWindow *window)
{
    return Pane(window).Caret().column;
}

// A press of the left button: one click takes a character, two a word, three or more a line.
EMSCRIPTEN_KEEPALIVE void WebPanePress(
    WebWindow *window, std::size_t line, std::size_t column, int clicks, bool shift)
{
    const auto unit = static_cast<form::PaneUnit>(std::clamp(clicks, 1, 3));
    Pane(window).Press({ line, column }, unit, shift);
}

EMSCRIPTEN_KEEPALIVE void WebPaneDragTo(WebWindow *window, std::size_t line, std::size_t column)
{
    Pane(window).DragTo({ line, column });
}

EMSCRIPTEN_KEEPALIVE void WebPaneRelease(WebWindow *window)
{
    Pane(window).Release();
}

// A key pressed in the pane, by its DOM name (KeyboardEvent.key) in UTF-8: whether the pane
// took it. Ctrl+A selects everything.
EMSCRIPTEN_KEEPALIVE bool WebPaneKey(
    WebWindow *window, const char *key, std::size_t size, bool control, bool shift)
{
    const std::string_view name(key, size);
    if (control && (name == "a" || name == "A")) {
        Pane(window).SelectAll();
        return true;
    }
    const auto *known = std::find_if(
        kPaneKeys.begin(), kPaneKeys.end(), [&](const KeyName &k) { return k.name == name; });
    if (known == kPaneKeys.end()) {
        return false;
    }
    Pane(window).Key(control ? known->withControl : known->key, shift);
    return true;
}

// The user has scrolled the view to show `top` as its first whole line.
EMSCRIPTEN_KEEPALIVE void WebPaneScrollTo(WebWindow *window, std::size_t top)
{
    Pane(window).ScrollTo(top);
}

EMSCRIPTEN_KEEPALIVE void WebPaneSetVisibleLines(WebWindow *window, std::size_t lines)
{
    Pane(window).SetVisibleLines(lines);
}

// What the clipboard gets; the text stays until the next call.
EMSCRIPTEN_KEEPALIVE const char *WebPaneSelectedText(WebWindow *window)
{
    window->Copied() = Pane(window).SelectedText();
    return window->Copied().data();
}

EMSCRIPTEN_KEEPALIVE std::size_t WebPaneSelectedSize(WebWindow *window)
{
    return window->Copied().size();
}

// Where each cell of the line starts, in pixels from the line's start: one more than its TABs.
// They stay until the next call.
EMSCRIPTEN_KEEPALIVE const double *WebPaneCellStarts(WebWindow *window, std::size_t line)
{
    const auto width
        = [](std::string_view text) { return PageTextWidth(text.data(), text.size()); };
    form::CellStarts(Pane(window).Line(line), form::Pixels(form::kPaneTabStopTwips), width,
        window->CellStarts());
    return window->CellStarts().data();
}
}
