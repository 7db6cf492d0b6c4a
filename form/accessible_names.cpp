// SPDX-License-Identifier: MIT
#include "form/accessible_names.h"

#include "calc/side_profile.h"

#include <algorithm>

namespace form {
namespace {

// "RF " or "IF " for a box that belongs to one side; nothing for the crystal box they share.
std::string SideOf(const ControlRow &box)
{
    for (calc::Side side : { calc::Side::RF, calc::Side::IF }) {
        const calc::SideProfile &profile = calc::ProfileOf(side);
        for (calc::Box own : { profile.wanted.box, profile.refLow.box, profile.refHigh.box,
                 profile.maxError.box, profile.matchCount }) {
            if (Row(ControlOf(own)).name == box.name) {
                return std::string(profile.name) + ' ';
            }
        }
    }
    return {};
}

} // namespace

const ControlRow *CaptionOf(const ControlRow &box)
{
    const ControlRow *caption = nullptr;
    if (box.kind != ControlKind::TextBox) {
        return caption;
    }
    for (const ControlRow &row : kControls) {
        const bool sameRow = row.top < box.top + box.height && box.top < row.top + row.height;
        if (row.kind == ControlKind::Label && row.container == box.container && sameRow
            && row.left < box.left && (caption == nullptr || row.left > caption->left)) {
            caption = &row;
        }
    }
    return caption;
}

std::vector<ControlId> ReadingOrder()
{
    std::vector<ControlId> order;
    for (const ControlId id : kFocusOrder) {
        if (const ControlRow *caption = CaptionOf(Row(id))) {
            order.push_back(static_cast<ControlId>(caption - kControls.data()));
        }
        order.push_back(id);
    }
    for (std::size_t i = 0; i < kControlCount; ++i) {
        const auto id = static_cast<ControlId>(i);
        if (kControls.at(i).kind != ControlKind::Frame
            && std::find(order.begin(), order.end(), id) == order.end()) {
            order.push_back(id);
        }
    }
    return order;
}

std::string AccessibleName(const ControlRow &row)
{
    switch (row.kind) {
    case ControlKind::TextBox:
        if (const ControlRow *caption = CaptionOf(row)) {
            std::string_view name = caption->caption;
            if (name.ends_with(" :")) {
                name.remove_suffix(2);
            }
            return SideOf(row) + std::string(name);
        }
        return std::string(row.name);
    case ControlKind::ProgressBar:
        return "Progress";
    case ControlKind::ResultPane:
        return "Report";
    case ControlKind::Frame:
    case ControlKind::Label:
    case ControlKind::Option:
    case ControlKind::Button:
        break;
    }
    return std::string(row.caption);
}

} // namespace form
