// SPDX-License-Identifier: MIT
// Where each control of the window stands, in CSS or device-independent pixels from the window's
// top-left corner, and how large its text is: as the layout table draws it, or flowed into one
// column for a finger or a view narrower than the window (a phone, a tablet held upright, a
// zoomed screen), so that nothing scrolls sideways and a finger hits what it aims at. A face
// draws what this gives; the flow is the same for every face.
#pragma once

#include "form/layout.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string_view>

namespace form {

struct Place {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const Place &, const Place &) = default;
};

// The layout for a finger: every control a user operates is a target at least this many px each
// way (Apple's guidelines ask 44, Material 48 dp); boxes and captions take text of 16 px, since
// Safari on a phone zooms the whole page whenever a box with smaller text takes the focus; the
// report, 13 px, on lines 15 px apart.
constexpr int kTouchTarget = 44;
constexpr double kTouchFontSize = 16;
constexpr double kTouchPaneFontSize = 13;
constexpr int kTouchPaneLineHeight = 15;

struct WindowPlaces {
    std::array<Place, kControlCount> places {};
    int width = 0;
    int height = 0;
    // The text, in px: of the captions and boxes, of the report, and the report's line spacing.
    double fontSize = kWindowFontPoints * 4 / 3;
    double paneFontSize = kPaneFontPoints * 4 / 3;
    int paneLineHeight = 13;
    bool touch = false;
};

// What the user points with: a mouse, a touchpad or a pen, or a finger.
enum class Pointer : std::uint8_t { Fine, Coarse };

// How wide a caption is drawn at kTouchFontSize, in px.
using CaptionWidth = std::function<double(std::string_view)>;

// The window as the table draws it, every place counted from the window's corner (a control in
// a frame stands at the frame's place plus its own).
WindowPlaces TablePlaces();

// The window for a view `width` px wide. With a fine pointer on a view as wide as the window or
// wider: the table's places. Otherwise the layout for a finger, as wide as the view but no wider
// than the window: its frames one below the other, in reading order, then the progress bar and
// the result pane, which a user scrolls through last. In a frame, what stands in its first
// column (the boxes with their captions) goes one below the other, then its option groups side
// by side, wrapping as the width allows, then what stands to their right (the match count and
// the start button). Every box, option (its marker and caption one target) and button is a
// target of kTouchTarget px or more each way, none over another; a caption stands beside its
// box where there is room and above it where not. The controls keep their order in the focus
// chain, since only their places change.
WindowPlaces PlacesForView(int width, Pointer pointer, const CaptionWidth &captionWidth);

} // namespace form
