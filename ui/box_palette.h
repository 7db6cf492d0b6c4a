// SPDX-License-Identifier: MIT
// The colours of a text box whose background the layout fixes. A fixed background takes a fixed
// text colour with it; left to the theme, a dark one draws its light text on the white box.
#pragma once

#include <QPalette>

namespace ui {

// The theme's palette with a white background and black text in every colour group, and with
// disabled and placeholder text in a grey that still reads on white. The selection keeps the
// theme's colours, which come as a pair of their own.
QPalette WhiteBoxPalette(QPalette palette);

} // namespace ui
