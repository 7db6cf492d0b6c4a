// SPDX-License-Identifier: MIT
// What the user's hands do in the result pane, decided once for both faces: which key does what on
// each platform, how presses count into double and triple clicks, how fast a drag held past the
// view scrolls it, and how far the view scrolls sideways to show the caret. A face turns its
// toolkit's events into these terms and does what they say.
#pragma once

#include "form/pane_model.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace form {

// The pane's two key maps: most platforms', and a Mac's, where Cmd and Option do what Ctrl does
// elsewhere, as in the Mac's own text fields.
enum class KeyMap : std::uint8_t { Usual, Mac };

// The modifiers a key is pressed with, Shift aside (Shift extends the selection). Meta is a Mac's
// Cmd. kUnbound marks a key that a map leaves alone.
constexpr std::uint8_t kNoModifier = 0;
constexpr std::uint8_t kCtrl = 1;
constexpr std::uint8_t kAlt = 2;
constexpr std::uint8_t kMeta = 4;
constexpr std::uint8_t kUnbound = 0xFF;

enum class PaneCommand : std::uint8_t { Move, SelectAll, Copy };

// A row of the key map: the key as browsers name it (KeyboardEvent.key), the modifiers it takes
// in each map, and what it does.
struct PaneKeyBinding {
    std::string_view key;
    std::uint8_t usual;
    std::uint8_t mac;
    PaneKey move;
    PaneCommand command = PaneCommand::Move;
};

namespace detail {
using K = PaneKey;
using C = PaneCommand;
} // namespace detail

// clang-format off
inline constexpr std::array kPaneKeyMap = {
    //               key           usual        Mac          does
    PaneKeyBinding { "ArrowLeft",  kNoModifier, kNoModifier, detail::K::Left },
    PaneKeyBinding { "ArrowRight", kNoModifier, kNoModifier, detail::K::Right },
    PaneKeyBinding { "ArrowLeft",  kCtrl,       kAlt,        detail::K::WordLeft },
    PaneKeyBinding { "ArrowRight", kCtrl,       kAlt,        detail::K::WordRight },
    PaneKeyBinding { "ArrowUp",    kNoModifier, kNoModifier, detail::K::Up },
    PaneKeyBinding { "ArrowDown",  kNoModifier, kNoModifier, detail::K::Down },
    PaneKeyBinding { "PageUp",     kNoModifier, kNoModifier, detail::K::PageUp },
    PaneKeyBinding { "PageDown",   kNoModifier, kNoModifier, detail::K::PageDown },
    PaneKeyBinding { "Home",       kNoModifier, kUnbound,    detail::K::LineStart },
    PaneKeyBinding { "End",        kNoModifier, kUnbound,    detail::K::LineEnd },
    PaneKeyBinding { "ArrowLeft",  kUnbound,    kMeta,       detail::K::LineStart },
    PaneKeyBinding { "ArrowRight", kUnbound,    kMeta,       detail::K::LineEnd },
    PaneKeyBinding { "a",          kUnbound,    kCtrl,       detail::K::LineStart },
    PaneKeyBinding { "e",          kUnbound,    kCtrl,       detail::K::LineEnd },
    PaneKeyBinding { "Home",       kCtrl,       kNoModifier, detail::K::TextStart },
    PaneKeyBinding { "End",        kCtrl,       kNoModifier, detail::K::TextEnd },
    PaneKeyBinding { "ArrowUp",    kUnbound,    kMeta,       detail::K::TextStart },
    PaneKeyBinding { "ArrowDown",  kUnbound,    kMeta,       detail::K::TextEnd },
    PaneKeyBinding { "a",          kCtrl,       kMeta,       {}, detail::C::SelectAll },
    PaneKeyBinding { "c",          kCtrl,       kMeta,       {}, detail::C::Copy },
    PaneKeyBinding { "Insert",     kCtrl,       kUnbound,    {}, detail::C::Copy },
};
// clang-format on

// The binding of `key` pressed with `modifiers` in `map`, or null. A letter matches in either case
// (Shift, Caps Lock).
const PaneKeyBinding *FindPaneKey(KeyMap map, std::string_view key, std::uint8_t modifiers);

// A press of the button at a point, in pixels, at a time, in milliseconds, and how many clicks in
// a row it makes.
struct Click {
    double x = 0;
    double y = 0;
    double time = 0;
    int count = 0;
};

// How soon, and how near, a press must follow the last one to be its next click: the platform's
// double-click interval and distance where a face knows them; else these, a finger's.
struct ClickLimits {
    double interval = 400; // ms
    double distance = 10; // px
};

// The press at (x, y) at `time`: one click more than `last`, up to a triple click, if it comes
// within the limits of it; otherwise, and after a triple click, a single click.
Click NextClick(const Click &last, double x, double y, double time, ClickLimits limits = {});

// What a press of `clicks` clicks in a row takes: a character, a word, a line, and so on again.
constexpr PaneUnit UnitOf(int clicks)
{
    return static_cast<PaneUnit>((std::max(clicks, 1) - 1) % 3 + 1);
}

// How long a finger held still on the text takes to select the word under it and open the menu.
constexpr double kLongPress = 500; // ms

// A drag held past the view's edges scrolls it a step that way (a line down or up, a step across)
// each `interval` ms: slowly just past the edge, faster the farther the pointer is from it.
struct AutoScroll {
    int across = 0; // -1, 0 or 1
    int down = 0;
    int interval = 0; // ms
};

// Where a view's edges stand, and a point, in px.
struct ViewEdges {
    double left = 0;
    double top = 0;
    double right = 0;
    double bottom = 0;
};

// The scrolling for a drag held at (x, y); none while the pointer is within the view.
std::optional<AutoScroll> AutoScrollFor(const ViewEdges &view, double x, double y);

// Where a view `width` px wide, scrolled `scroll` px across, scrolls to show the caret at `x` px
// (both from the left edge of what it scrolls over): as little as brings the caret `margin` px
// inside the view, or not at all.
double ScrollToReveal(double x, double scroll, double width, double margin);

} // namespace form
