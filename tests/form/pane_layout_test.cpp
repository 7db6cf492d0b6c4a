// SPDX-License-Identifier: MIT
// Where the pane's text goes across the screen: the column rule of the rows in view, and the
// pieces of a line too long to lay out whole. Every UTF-16 unit is 5 px wide and tab stops are
// 48 px apart, so a cell ends at least a space (5 px) before the next starts.
#include "form/pane_layout.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Starts = std::vector<double>;

double FiveEach(std::string_view text)
{
    return 5.0 * static_cast<double>(form::Utf16Length(text));
}

TEST(PaneLayoutTest, ColumnsLineUpInViewAndCellsNeverTouch)
{
    // Lines, and where each one's cells start, with two lines in view (and one either side).
    const std::vector<std::vector<std::pair<std::string, Starts>>> cases = {
        { { "168\t\t 100000 Hz\t1000", { 0, 48, 96, 192 } }, { "", { 0 } },
            { "12345678\tnext", { 0, 48 } }, { "", { 0 } }, { "123456789\tnext", { 0, 96 } } },
        // A wide cell moves its column, and those after it, in every row of its run...
        { { "1234567\t0202A2\t003E23", { 0, 96, 144 } },
            { "123456789\t1202A27\t0", { 0, 96, 144 } }, { "1\t2\t3", { 0, 96, 144 } } },
        // ...which a line without the cell ends, and a row with fewer cells ends for the rest.
        { { "RF R-counter\tRef freq\tN", { 0, 96, 144 } }, { "-------", { 0 } },
            { "1\t12345678901\tx", { 0, 48, 144 } }, { "2\t3", { 0, 48 } } },
        // Rows out of view lay out on their own.
        { { "1\tx", { 0, 96 } }, { "123456789\tx", { 0, 96 } }, { "1\tx", { 0, 96 } },
            { "1\tx", { 0, 96 } }, { "1\tx", { 0, 48 } } },
    };
    for (const auto &lines : cases) {
        form::PaneModel pane;
        std::string text;
        for (const auto &[line, starts] : lines) {
            text += line + "\r\n";
        }
        pane.SetText(text);
        pane.SetVisibleLines(2);
        form::PaneLayout layout;
        layout.SetFont(48.0, FiveEach);
        for (std::size_t line = 0; line < lines.size(); ++line) {
            EXPECT_EQ(layout.CellStarts(pane, line), lines[line].second) << lines[line].first;
        }
    }
}

// A line too long to lay out whole comes in pieces that start where the characters before them
// end, cover what is asked, and never split a character.
TEST(PaneLayoutTest, LongLinesComeInPiecesThatCoverTheView)
{
    std::string line = "Xtal = ";
    for (int i = 0; i < 3000; ++i) {
        line += "1234567\U0001F600"; // nine columns: a face is two
    }
    line += "\tnext\t";
    form::PaneModel pane;
    pane.SetText(line + "\r\nshort\tline\r\n");
    form::PaneLayout layout;
    layout.SetFont(48.0, FiveEach);
    EXPECT_EQ(layout.CellStarts(pane, 0), (Starts { 0, 135'072, 135'120 })); // after 27007 units
    EXPECT_EQ(layout.Width(pane, 1), 135'072 + 20); // its column's run starts in the long line
    EXPECT_EQ(layout.XOf(pane, 0, 12'345), 5 * 12'344); // inside a face: at its start
    EXPECT_EQ(layout.XOf(pane, 0, 27'007 + 3), 135'072 + 10); // "ne|xt"
    for (const double left : { 0.0, 55'555.0, 135'030.0, 135'100.0 }) {
        const form::PaneLayout::Piece piece = layout.PieceAt(pane, 0, left, left + 600.0);
        const std::string_view before = std::string_view(line).substr(0, piece.begin);
        const std::string_view text
            = std::string_view(line).substr(piece.begin, piece.end - piece.begin);
        EXPECT_EQ(piece.column, form::Utf16Length(before)) << left;
        EXPECT_TRUE(before.find('\t') != std::string_view::npos || piece.x == FiveEach(before));
        EXPECT_LE(piece.x, left);
        EXPECT_TRUE(piece.end == line.size() || piece.x + FiveEach(text) >= left + 600.0);
        EXPECT_LE(text.size(), 2000U); // a view's width and a mark either side
        EXPECT_NE(static_cast<unsigned char>(line[piece.begin]) & 0xC0U, 0x80U);
    }
}

} // namespace
