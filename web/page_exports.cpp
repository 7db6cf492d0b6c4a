// SPDX-License-Identifier: MIT
// The module's entry points for the page's script: the page creates the window once and hands
// its address back with every call, so the module keeps no state of its own. Controls are named
// by their identities, the pane's places by line and column (UTF-16 units of the line as shown).
#include "web/web_window.h"

#include "form/flow.h"
#include "form/pane_input.h"

#include <emscripten.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

using form::PaneModel;
using web::WebWindow;

// How wide the page draws a caption in the touch layout's font, in CSS pixels; whether every
// caption fits its control with the window's font at `size` px.
// clang-format off
EM_JS(double, PageCaptionWidth, (const char *text, std::size_t size, double fontSize), {
    return Module.page.captionWidth(Module.page.text(text, size), fontSize);
});
EM_JS(bool, PageCaptionsFit, (double size), { return Module.page.captionsFit(size); });
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

// Where each control stands for a view `width` CSS px wide, with a finger (`coarse`) or not: the
// number of controls, the window's width and height, whether the layout is a finger's, its text
// sizes (the window's, the report's and the report's line spacing, in hundredths of a px), then
// each control's left, top, width and height, by identity.
EMSCRIPTEN_KEEPALIVE const std::int32_t *WebPlacesForView(WebWindow *window, int width, bool coarse)
{
    const auto captionWidth = [](std::string_view text) {
        return PageCaptionWidth(text.data(), text.size(), form::kTouchFontSize);
    };
    const form::WindowPlaces placed = form::PlacesForView(
        width, coarse ? form::Pointer::Coarse : form::Pointer::Fine, captionWidth);
    const auto hundredths = [](double px) { return static_cast<std::int32_t>(px * 100); };
    std::vector<std::int32_t> &numbers = window->Places();
    numbers = { static_cast<std::int32_t>(form::kControlCount), placed.width, placed.height,
        placed.touch, hundredths(placed.fontSize), hundredths(placed.paneFontSize),
        hundredths(placed.paneLineHeight) };
    for (const form::Place &place : placed.places) {
        numbers.insert(numbers.end(), { place.left, place.top, place.width, place.height });
    }
    return numbers.data();
}

// The window's font in px where the window stands as the table draws it: the largest at which
// the page draws every caption within its control.
EMSCRIPTEN_KEEPALIVE double WebFittingWindowFontSize()
{
    constexpr double kPixelsPerPoint = 4.0 / 3.0;
    return kPixelsPerPoint * form::FittingWindowFontPoints([](double points) {
        return PageCaptionsFit(points * kPixelsPerPoint);
    });
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

// A press of the left button, the browser's `clicks`-th in a row: one click takes a character,
// two a word, three a line, and so on again.
EMSCRIPTEN_KEEPALIVE void WebPanePress(
    WebWindow *window, std::size_t line, std::size_t column, int clicks, bool shift)
{
    Pane(window).Press({ line, column }, form::UnitOf(clicks), shift);
}

EMSCRIPTEN_KEEPALIVE void WebPaneDragTo(WebWindow *window, std::size_t line, std::size_t column)
{
    Pane(window).DragTo({ line, column });
}

EMSCRIPTEN_KEEPALIVE void WebPaneRelease(WebWindow *window)
{
    Pane(window).Release();
}

// A key pressed in the pane, by its DOM name (KeyboardEvent.key) in UTF-8, through the key map of
// a Mac (`mac`) or of other platforms: 0 if the pane has no use for it, 1 if it moved the caret
// or selected, 2 for Copy, which the page leaves to the browser.
EMSCRIPTEN_KEEPALIVE int WebPaneKey(WebWindow *window, const char *key, std::size_t size, bool mac,
    bool ctrl, bool alt, bool meta, bool shift)
{
    const auto modifiers = static_cast<std::uint8_t>(
        (ctrl ? form::kCtrl : 0) | (alt ? form::kAlt : 0) | (meta ? form::kMeta : 0));
    const form::PaneKeyBinding *binding = form::FindPaneKey(
        mac ? form::KeyMap::Mac : form::KeyMap::Usual, std::string_view(key, size), modifiers);
    if (binding == nullptr) {
        return 0;
    }
    switch (binding->command) {
    case form::PaneCommand::Move:
        Pane(window).Key(binding->move, shift);
        break;
    case form::PaneCommand::SelectAll:
        Pane(window).SelectAll();
        break;
    case form::PaneCommand::Copy:
        return 2;
    }
    return 1;
}

EMSCRIPTEN_KEEPALIVE void WebPaneSelectAll(WebWindow *window)
{
    Pane(window).SelectAll();
}

// A finger held still on the text.
EMSCRIPTEN_KEEPALIVE void WebPaneHold(WebWindow *window, std::size_t line, std::size_t column)
{
    Pane(window).Hold({ line, column });
}

// How many taps in a row a tap at (x, y) at `time` ms makes, after the last one of `lastCount`.
EMSCRIPTEN_KEEPALIVE int WebNextTap(
    double lastX, double lastY, double lastTime, int lastCount, double x, double y, double time)
{
    return form::NextClick({ lastX, lastY, lastTime, lastCount }, x, y, time).count;
}

// How far a finger may move and still tap, in px; how long it is held for the menu, in ms.
EMSCRIPTEN_KEEPALIVE double WebTapSlop()
{
    return form::ClickLimits {}.distance;
}

EMSCRIPTEN_KEEPALIVE double WebLongPress()
{
    return form::kLongPress;
}

// A drag held at (x, y) past the view's edges: 0 while it is within the view, else the step of
// scrolling towards it and the ms until the next, as 9 * interval + 3 * (down + 1) + across + 1
// (down and across -1, 0 or 1).
EMSCRIPTEN_KEEPALIVE int WebAutoScroll(
    double left, double top, double right, double bottom, double x, double y)
{
    const auto scroll = form::AutoScrollFor({ left, top, right, bottom }, x, y);
    return scroll ? 9 * scroll->interval + 3 * (scroll->down + 1) + scroll->across + 1 : 0;
}

// Where the view scrolls sideways to show the caret at `x`.
EMSCRIPTEN_KEEPALIVE double WebScrollToReveal(double x, double scroll, double width, double margin)
{
    return form::ScrollToReveal(x, scroll, width, margin);
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
    window->PaneOnPage().copied = Pane(window).SelectedText();
    return window->PaneOnPage().copied.data();
}

EMSCRIPTEN_KEEPALIVE std::size_t WebPaneSelectedSize(WebWindow *window)
{
    return window->PaneOnPage().copied.size();
}

EMSCRIPTEN_KEEPALIVE void WebPaneFontChanged(WebWindow *window)
{
    window->PaneOnPage().FontChanged();
}

// Where each cell of the line starts, in pixels from the line's start: one more than its TABs.
// They stay until the next call.
EMSCRIPTEN_KEEPALIVE const double *WebPaneCellStarts(WebWindow *window, std::size_t line)
{
    return window->PaneOnPage().layout.CellStarts(Pane(window), line).data();
}

EMSCRIPTEN_KEEPALIVE std::size_t WebPaneCellCount(WebWindow *window, std::size_t line)
{
    return window->PaneOnPage().layout.CellStarts(Pane(window), line).size();
}

// The piece of the line to draw for x from `left` to `right`, in pixels from the line's start
// (all of a short line): its first and end bytes, its first column and where it starts. They
// stay until the next call.
EMSCRIPTEN_KEEPALIVE const double *WebPanePiece(
    WebWindow *window, std::size_t line, double left, double right)
{
    const form::PaneLayout::Piece piece
        = window->PaneOnPage().layout.PieceAt(Pane(window), line, left, right);
    window->PaneOnPage().piece = { static_cast<double>(piece.begin), static_cast<double>(piece.end),
        static_cast<double>(piece.column), piece.x };
    return window->PaneOnPage().piece.data();
}

EMSCRIPTEN_KEEPALIVE double WebPaneLineWidth(WebWindow *window, std::size_t line)
{
    return window->PaneOnPage().layout.Width(Pane(window), line);
}

EMSCRIPTEN_KEEPALIVE double WebPaneXOf(WebWindow *window, std::size_t line, std::size_t column)
{
    return window->PaneOnPage().layout.XOf(Pane(window), line, column);
}
}
