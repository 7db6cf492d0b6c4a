// SPDX-License-Identifier: MIT
// The window's places on views of every width a user has: the table's on a view as wide as the
// window, with a mouse; one column for a finger or a narrower view, with targets a finger hits,
// nothing over anything else and nothing outside.
#include "form/flow.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

using form::ControlId;
using form::ControlKind;
using form::Place;

ControlId Named(std::string_view name)
{
    for (std::size_t i = 0; i < form::kControlCount; ++i) {
        if (form::kControls.at(i).name == name) {
            return static_cast<ControlId>(i);
        }
    }
    ADD_FAILURE() << "no control " << name;
    return form::kForm1;
}

bool Overlap(const Place &a, const Place &b)
{
    return a.left < b.left + b.width && b.left < a.left + a.width && a.top < b.top + b.height
        && b.top < a.top + a.height;
}

bool Inside(const Place &inner, const Place &outer)
{
    return inner.left >= outer.left && inner.top >= outer.top
        && inner.left + inner.width <= outer.left + outer.width
        && inner.top + inner.height <= outer.top + outer.height;
}

bool Holds(ControlId outer, ControlId inner)
{
    for (ControlId c = form::ContainerOf(inner); c != form::kForm1; c = form::ContainerOf(c)) {
        if (c == outer) {
            return true;
        }
    }
    return false;
}

// Captions drawn 9 px a character: wider than Liberation Sans at 16 px draws any of them.
double CaptionWidth(std::string_view caption)
{
    return 9.0 * static_cast<double>(caption.size());
}

bool IsTarget(ControlKind kind)
{
    return kind == ControlKind::TextBox || kind == ControlKind::Option
        || kind == ControlKind::Button;
}

TEST(FlowTest, WideViewsShowTheTableAndNarrowOnesOneColumn)
{
    using form::Pointer;
    const form::WindowPlaces table = form::TablePlaces();
    EXPECT_EQ(table.width, 697);
    EXPECT_EQ(table.places.at(form::Index(Named("Option1"))),
        (Place { 4 + 160 + 36, 52 + 20 + 20, 49, 17 }));
    for (const int width : { 697, 1280 }) {
        const form::WindowPlaces placed = form::PlacesForView(width, Pointer::Fine, CaptionWidth);
        EXPECT_EQ(placed.places, table.places) << width;
        EXPECT_EQ(placed.height, table.height) << width;
        EXPECT_FALSE(placed.touch);
    }

    for (const auto &[width, pointer] : { std::pair { 320, Pointer::Coarse },
             { 390, Pointer::Coarse }, { 696, Pointer::Fine }, { 1280, Pointer::Coarse } }) {
        SCOPED_TRACE(width);
        const form::WindowPlaces flowed = form::PlacesForView(width, pointer, CaptionWidth);
        const auto at
            = [&](std::string_view name) { return flowed.places.at(form::Index(Named(name))); };
        EXPECT_EQ(flowed.width, std::min(width, table.width));
        EXPECT_GT(flowed.height, table.height);
        EXPECT_TRUE(flowed.touch);
        EXPECT_GE(flowed.fontSize, 16);
        EXPECT_GE(flowed.paneFontSize, 13);
        for (std::size_t i = 0; i < form::kControlCount; ++i) {
            const auto id = static_cast<ControlId>(i);
            const Place &place = flowed.places.at(i);
            const form::ControlRow &row = form::Row(id);
            SCOPED_TRACE(std::string(row.name));
            EXPECT_TRUE(Inside(place, { 0, 0, flowed.width, flowed.height }));
            if (form::ContainerOf(id) != form::kForm1) {
                EXPECT_TRUE(Inside(place, flowed.places.at(form::Index(form::ContainerOf(id)))));
            }
            if (IsTarget(row.kind)) {
                EXPECT_GE(place.width, form::kTouchTarget);
                EXPECT_GE(place.height, form::kTouchTarget);
            }
            if (row.kind == ControlKind::Label || row.kind == ControlKind::Option) {
                EXPECT_GE(place.width, CaptionWidth(row.caption)); // the caption fits
            }
            // Nothing overlaps anything but what holds it.
            for (std::size_t j = i + 1; j < form::kControlCount; ++j) {
                const auto other = static_cast<ControlId>(j);
                if (!Holds(id, other) && !Holds(other, id)) {
                    EXPECT_FALSE(Overlap(place, flowed.places.at(j))) << form::Row(other).name;
                }
            }
        }
        // The frames in reading order, the bar, then the pane a user scrolls through last.
        const char *const order[]
            = { "Frame2", "Frame3", "Frame10", "Frame9", "ProgressBar1", "RichTextBox1" };
        for (std::size_t i = 1; i < std::size(order); ++i) {
            EXPECT_LE(at(order[i - 1]).top + at(order[i - 1]).height, at(order[i]).top) << order[i];
        }
        // Each caption stands beside its box or just above it, the boxes one below the other in
        // the table's order.
        for (const auto &[label, box] : { std::pair { "Label9", "Text6" }, { "Label10", "Text7" },
                 { "Label12", "Text8" }, { "Label13", "Text9" }, { "Label14", "Text10" },
                 { "Label16", "Text12" }, { "Label7", "Text5" } }) {
            const bool beside = at(label).left + at(label).width <= at(box).left
                && at(box).top < at(label).top + at(label).height;
            EXPECT_TRUE(beside || at(label).top + at(label).height == at(box).top) << label;
        }
        EXPECT_LT(at("Text6").top, at("Text7").top);
        EXPECT_LT(at("Text8").top, at("Text9").top);
        EXPECT_LT(at("Text9").top, at("Frame4").top);
    }
}

} // namespace
