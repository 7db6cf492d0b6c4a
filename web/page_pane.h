// SPDX-License-Identifier: MIT
// What the page's result pane keeps in the module between its calls: where the pane's text goes
// across the page in the page's font, the piece of a long line it last asked for, and the text it
// last copied.
#pragma once

#include "form/pane_layout.h"

#include <array>
#include <string>

namespace web {

struct PagePane {
    form::PaneLayout layout;
    std::array<double, 4> piece {};
    std::string copied;

    // The page draws the pane's text at a new size: its widths are measured anew.
    void FontChanged();
};

} // namespace web
