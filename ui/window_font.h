// SPDX-License-Identifier: MIT
// The window's font: Liberation Sans (Arial's metrics) at the largest size up to the layout's at
// which every caption fits its control, so that a substituted font shrinks a little rather than
// cutting captions off.
#pragma once

class QWidget;

namespace ui {

void FitWindowFont(QWidget &window);

} // namespace ui
