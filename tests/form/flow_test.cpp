// SPDX-License-Identifier: MIT
// The window's places on views of every width a user has: the table's on a view as wide as the
// window, one column on a narrower one, with nothing over anything else and nothing outside.
#include "form/flow.h"

#include <gtest/gtest.h>

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

TEST(FlowTest, WideViewsShowTheTableAndNarrowOnesOneColumn)
{
    const form::WindowPlaces table = form::TablePlaces();
    EXPECT_EQ(table.width, 697);
    EXPECT_EQ(table.places.at(form::Index(Named("Option1"))),
        (Place { 4 + 160 + 36, 52 + 20 + 20, 49, 17 }));
    for (const int width : { 697, 1280 }) {
        const form::WindowPlaces placed = form::PlacesForView(width);
        EXPECT_EQ(placed.places, table.places) << width;
        EXPECT_EQ(placed.height, table.height) << width;
    }

    for (const int width : { 320, 390, 696 }) {
        SCOPED_TRACE(width);
        const form::WindowPlaces flowed = form::PlacesForView(width);
        const auto at
            = [&](std::string_view name) { return flowed.places.at(form::Index(Named(name))); };
        EXPECT_EQ(flowed.width, width);
        EXPECT_GT(flowed.height, table.height);
        for (std::size_t i = 0; i < form::kControlCount; ++i) {
            const auto id = static_cast<ControlId>(i);
            const Place &place = flowed.places.at(i);
            const form::ControlRow &row = form::Row(id);
            SCOPED_TRACE(std::string(row.name));
            EXPECT_TRUE(Inside(place, { 0, 0, width, flowed.height }));
            if (form::ContainerOf(id) != form::kForm1) {
                // Only the window's own children stretch: a box, an option, a button keeps its
                // size.
                EXPECT_EQ(place.width, table.places.at(i).width);
                EXPECT_EQ(place.height, table.places.at(i).height);
                EXPECT_TRUE(Inside(place, flowed.places.at(form::Index(form::ContainerOf(id)))));
            }
            // Nothing overlaps what it did not overlap in the window (a caption's box reaches
            // under the box it names there, and still does).
            for (std::size_t j = i + 1; j < form::kControlCount; ++j) {
                const auto other = static_cast<ControlId>(j);
                if (!Holds(id, other) && !Holds(other, id)
                    && !Overlap(table.places.at(i), table.places.at(j))) {
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
        // Each caption stays beside its box, the boxes one below the other in the table's order.
        for (const auto &[label, box] : { std::pair { "Label9", "Text6" }, { "Label10", "Text7" },
                 { "Label12", "Text8" }, { "Label13", "Text9" }, { "Label14", "Text10" },
                 { "Label16", "Text12" }, { "Label7", "Text5" } }) {
            EXPECT_LT(at(label).left, at(box).left) << label;
            EXPECT_LT(at(box).top, at(label).top + at(label).height) << label;
            EXPECT_LT(at(label).top, at(box).top + at(box).height) << label;
        }
        EXPECT_LT(at("Text6").top, at("Text7").top);
        EXPECT_LT(at("Text8").top, at("Text9").top);
        EXPECT_LT(at("Text9").top, at("Frame4").top);
    }
}

} // namespace
