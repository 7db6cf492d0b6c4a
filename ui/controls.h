// SPDX-License-Identifier: MIT
// The window's Qt widgets, built from the layout table: each of its kind, named, placed and sized
// as the table says, in the frame that holds it, and in the table's focus order.
#pragma once

#include "form/layout.h"
#include "form/pane_model.h"
#include "form/window.h"

#include <array>

class QObject;
class QWidget;

namespace ui {

using Controls = std::array<QWidget *, form::kControlCount>;

// The controls by identity, children of `window`; the result pane shows `pane`.
Controls CreateControls(QWidget &window, form::PaneModel &pane);

// Passes what the user does with the controls to `window`: a box's edits, the option chosen, a
// start button's click. Tab stops where the window says, and only there.
void ConnectControls(const Controls &controls, form::Window &window, QObject &context);

} // namespace ui
