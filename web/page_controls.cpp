// SPDX-License-Identifier: MIT
#include "web/page_controls.h"

#include "form/accessible_names.h"

#include <emscripten.h>

#include <string>
#include <string_view>
#include <vector>

// Texts go over as a pointer and a byte count of UTF-8 in the module's memory; a control goes
// over as its identity.
// clang-format off
EM_JS(void, PageCreateWindow, (const void *window, int windowId, const char *caption,
    std::size_t captionSize, int width, int height, const char *paneFont,
    std::size_t paneFontSize), {
    const page = Module.page;
    page.createWindow(window, windowId, page.text(caption, captionSize), width, height,
        page.text(paneFont, paneFontSize));
});
EM_JS(void, PageCreateControl, (int id, const char *kind, std::size_t kindSize,
    const char *name, std::size_t nameSize, int container, const char *caption,
    std::size_t captionSize, const char *accessibleName, std::size_t accessibleNameSize,
    bool whiteBackground), {
    const page = Module.page;
    page.createControl({ id, kind: page.text(kind, kindSize), name: page.text(name, nameSize),
        container, caption: page.text(caption, captionSize),
        accessibleName: page.text(accessibleName, accessibleNameSize), whiteBackground });
});
EM_JS(void, PageArrange, (const form::ControlId *order, std::size_t count), {
    Module.page.arrange(Array.from(HEAPU8.subarray(order, order + count)));
});
// clang-format on

namespace web {

void CreatePageControls(const void *window)
{
    using form::Pixels;
    PageCreateWindow(window, Number(form::kForm1), form::kWindowCaption.data(),
        form::kWindowCaption.size(), Pixels(form::kClientWidth), Pixels(form::kClientHeight),
        form::kPaneFontFamily.data(), form::kPaneFontFamily.size());
    for (std::size_t i = 0; i < form::kControlCount; ++i) {
        const auto id = static_cast<form::ControlId>(i);
        const form::ControlRow &row = form::Row(id);
        const std::string_view kind = form::KindName(row.kind);
        const std::string accessibleName = form::AccessibleName(row);
        PageCreateControl(Number(id), kind.data(), kind.size(), row.name.data(), row.name.size(),
            Number(form::ContainerOf(id)), row.caption.data(), row.caption.size(),
            accessibleName.data(), accessibleName.size(), row.whiteBackground);
    }
    const std::vector<form::ControlId> order = form::ReadingOrder();
    PageArrange(order.data(), order.size());
}

} // namespace web
