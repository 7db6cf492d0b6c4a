// SPDX-License-Identifier: MIT
// What assistive technology calls the window's controls: a screen reader reads each box by the
// caption beside it and each option group by its frame's caption, not by the side frame around
// them all.
#pragma once

class QWidget;

namespace ui {

// Names the controls of `window`, built from the layout table, as form::AccessibleName says; a
// box also takes the caption on its row as its buddy. Labels and buttons keep the name Qt gives
// them from their own text.
void NameForAssistiveTechnology(QWidget &window);

} // namespace ui
