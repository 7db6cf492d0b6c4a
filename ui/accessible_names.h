// SPDX-License-Identifier: MIT
// What assistive technology calls the window's controls: a screen reader reads each box by the
// caption beside it and each option group by its frame's caption, not by the side frame around
// them all.
#pragma once

class QWidget;

namespace ui {

// Names the controls of `form`, built from the layout table. A box takes the caption on its row
// to its left as its buddy and, without the closing " :", as its name; a box of one side only
// is named with the side first ("RF Nr of match"), since the two sides' captions are the same
// and the focus order goes back and forth between them. A frame takes its own caption. The
// progress bar and the result pane, which have none, are named "Progress" and "Report".
void NameForAssistiveTechnology(QWidget &form);

} // namespace ui
