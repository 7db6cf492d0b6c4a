// SPDX-License-Identifier: MIT
#include "web/page_pane.h"

#include "form/layout.h"

#include <emscripten.h>

// How wide the page draws UTF-8 text in the pane's font, in CSS pixels.
// clang-format off
EM_JS(double, PageTextWidth, (const char *text, std::size_t size), {
    return Module.page.textWidth(Module.page.text(text, size));
});
// clang-format on

namespace web {

void PagePane::FontChanged()
{
    layout.SetFont(form::Pixels(form::kPaneTabStopTwips),
        [](std::string_view text) { return PageTextWidth(text.data(), text.size()); });
}

} // namespace web
