// SPDX-License-Identifier: MIT
// Where each control of the window stands, in CSS or device-independent pixels from the window's
// top-left corner: as the layout table draws it, or flowed into one column for a view narrower
// than the window (a phone, a tablet held upright, a zoomed screen), so that nothing scrolls
// sideways. A face draws what this gives; the flow is the same for every face.
#pragma once

#include "form/layout.h"

#include <array>

namespace form {

struct Place {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const Place &, const Place &) = default;
};

struct WindowPlaces {
    std::array<Place, kControlCount> places {};
    int width = 0;
    int height = 0;
};

// The window as the table draws it, every place counted from the window's corner (a control in
// a frame stands at the frame's place plus its own).
WindowPlaces TablePlaces();

// The window for a view `width` px wide. As wide as the window or wider: the table's places.
// Narrower: its frames one below the other across the width, in reading order, then the progress
// bar and the result pane, which a user scrolls through last. In a frame, what stands in its
// first column (the boxes with their captions) goes one below the other, then its option groups
// side by side, wrapping as the width allows, then what stands to their right (the match count
// and the start button). Every control but the frames and the pane keeps its size, and keeps its
// order in the focus chain, since only its place changes.
WindowPlaces PlacesForView(int width);

} // namespace form
