// SPDX-License-Identifier: MIT
// The window's Qt widgets, built from the layout table: each of its kind, named, placed and sized
// as the table says, in the frame that holds it, and in the table's focus order.
#pragma once

#include "form/layout.h"
#include "form/pane_model.h"

#include <array>

class QWidget;

namespace ui {

using Controls = std::array<QWidget *, form::kControlCount>;

// The controls by identity, children of `window`; the result pane shows `pane`.
Controls CreateControls(QWidget &window, form::PaneModel &pane);

} // namespace ui
