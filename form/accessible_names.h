// SPDX-License-Identifier: MIT
// What assistive technology calls the window's controls: a screen reader reads each box by the
// caption beside it and each option group by its frame's caption, not by the side frame around
// them all. Both front-ends name their controls from here.
#pragma once

#include "form/layout.h"

#include <string>
#include <vector>

namespace form {

// The label a sighted user reads a box by: in the same frame, on the same row, the nearest one
// to the box's left; null when there is none, and for a control that is not a box.
const ControlRow *CaptionOf(const ControlRow &box);

// The controls, frames aside, as a reader meets them: those that take the focus in their focus
// order, each box after the caption that names it, then the rest (the progress bar). A page that
// puts its controls in this order has the window's focus order as its own.
std::vector<ControlId> ReadingOrder();

// The control's name for assistive technology. A box takes the caption on its row without the
// closing " :"; a box of one side only is named with the side first ("RF Nr of match"), since the
// two sides' captions are the same and the focus order goes back and forth between them. A frame,
// a label, an option button and a push button take their own caption; the progress bar and the
// result pane, which have none, are "Progress" and "Report".
std::string AccessibleName(const ControlRow &row);

} // namespace form
