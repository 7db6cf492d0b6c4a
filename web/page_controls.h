// SPDX-License-Identifier: MIT
// The window's controls on the page, built from the layout table: the page's script creates
// each of its kind, named, captioned and named for screen readers as the table says, in the
// frame that holds it, and arranges them in the window's reading order for the view it has.
#pragma once

#include "form/layout.h"

namespace web {

// A control as the page's script knows it.
inline int Number(form::ControlId id)
{
    return static_cast<int>(form::Index(id));
}

// Creates the window and its controls on the page. The page's script keeps `window`, the
// module's window, and reads the result pane through it from the first time it draws it here.
void CreatePageControls(const void *window);

} // namespace web
