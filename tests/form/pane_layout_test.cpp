// SPDX-License-Identifier: MIT
// Where the pane's text goes across the screen: the column rule of the rows in view, and the
// pieces of a line too long to lay out whole. Every character is 5 px wide, and tab stops are
// 48 px apart, so a cell ends at least a space (5 px) before the next starts.
#include "form/pane_layout.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

namespace {

using Starts = std::vector<double>;

double FiveEach(std::string_view text)
{
    return 5.0 * static_cast<double>(form::Utf16Length(text));
}

struct ColumnCase {
    const char *name;
    std::vector<std::string> lines;
    std::vector<Starts> starts; // of each line
    std::size_t visibleLines = 10;
};

TEST(PaneLayoutTest, ColumnsLineUpInViewAndCellsNeverTouch)
{
    const std::vector<ColumnCase> cases = {
        { "a line alone steps to the next stop that leaves a space",
            { "no tab at all", "", "168\t\t 100000 Hz\t1000", "", "12345678\tnext", "",
                "123456789\tnext", "", "1234567890123456789\t", "", "\t\tabc" },
            { { 0 }, { 0 }, { 0, 48, 96, 192 }, { 0 }, { 0, 48 }, { 0 }, { 0, 96 }, { 0 },
                { 0, 144 }, { 0 }, { 0, 48, 96 } } },
        { "a wide cell moves its column, and the next, in every row of the run",
            { "1234567\t0202A2\t003E23", "123456789\t1202A27\t003E23", "1\t2\t3" },
            { { 0, 96, 144 }, { 0, 96, 144 }, { 0, 96, 144 } } },
        { "a line without the cell ends the column's run",
            { "RF R-counter\tRef freq\tN", "-------", "168\t\t 100000 Hz\t1000" },
            { { 0, 96, 144 }, { 0 }, { 0, 48, 96, 192 } } },
        { "a row with fewer cells ends the runs of the columns it lacks",
            { "1\t12345678901\tx", "2\t3", "4\t5\t6" },
            { { 0, 48, 144 }, { 0, 48 }, { 0, 48, 96 } } },
        { "rows out of view lay out on their own",
            { "1\tx", "123456789\tx", "1\tx", "1\tx", "1\tx" },
            { { 0, 96 }, { 0, 96 }, { 0, 96 }, { 0, 48 }, { 0, 48 } }, 1 },
    };
    for (const ColumnCase &c : cases) {
        SCOPED_TRACE(c.name);
        form::PaneModel pane;
        std::string text;
        for (const std::string &line : c.lines) {
            text += line + "\r\n";
        }
        pane.SetText(text);
        pane.SetVisibleLines(c.visibleLines);
        form::PaneLayout layout;
        layout.SetFont(48.0, FiveEach);
        for (std::size_t line = 0; line < c.lines.size(); ++line) {
            EXPECT_EQ(layout.CellStarts(pane, line), c.starts[line]) << c.lines[line];
        }
    }
}

// A line too long to lay out whole comes in pieces that cover what is in view, start where the
// characters before them end, and never split a character.
TEST(PaneLayoutTest, LongLinesComeInPiecesThatCoverTheView)
{
    const std::string face = "\U0001F600"; // four bytes, two columns
    std::string line = "Xtal = ";
    for (int i = 0; i < 3000; ++i) {
        line += "1234567" + face;
    }
    line += "\tnext\t";
    form::PaneModel pane;
    pane.SetText(line + "\r\nshort\tline\r\n");
    form::PaneLayout layout;
    layout.SetFont(48.0, FiveEach);
    const std::size_t columns = form::Utf16Length(line);
    ASSERT_EQ(columns, 7 + 3000 * 9 + 6);
    const double cellEnd = 5.0 * (7 + 3000 * 9); // 135'035
    EXPECT_EQ(layout.CellStarts(pane, 0), (Starts { 0, 135'072, 135'120 }));

    const auto check = [&](const form::PaneLayout::Piece &piece) {
        const std::string_view before = std::string_view(line).substr(0, piece.begin);
        EXPECT_EQ(piece.column, form::Utf16Length(before));
        EXPECT_LE(piece.end, line.size());
        EXPECT_TRUE(piece.end == line.size() || (line[piece.end] & 0xC0) != 0x80);
        EXPECT_TRUE((line[piece.begin] & 0xC0) != 0x80);
        if (before.find('\t') == std::string_view::npos) {
            EXPECT_EQ(piece.x, FiveEach(before));
        }
    };
    for (const double left : { 0.0, 1000.0, 55'555.0, cellEnd - 1.0, cellEnd + 10.0 }) {
        SCOPED_TRACE(left);
        const form::PaneLayout::Piece piece = layout.PieceAt(pane, 0, left, left + 600.0);
        check(piece);
        EXPECT_LE(piece.x, left);
        EXPECT_LE(piece.end - piece.begin, 2000U); // a view's width and a mark either side
        const std::string_view text = std::string_view(line).substr(piece.begin);
        EXPECT_TRUE(piece.end == line.size()
            || piece.x + FiveEach(text.substr(0, piece.end - piece.begin)) >= left + 600.0
            || text.substr(0, piece.end - piece.begin).find('\t') != std::string_view::npos);
    }
    for (const std::size_t column : { std::size_t { 0 }, std::size_t { 12'345 }, columns - 1 }) {
        SCOPED_TRACE(column);
        const form::PaneLayout::Piece piece = layout.PieceAround(pane, 0, column);
        check(piece);
        EXPECT_LE(piece.column, column);
        EXPECT_GT(
            piece.column + form::Utf16Length(line.substr(piece.begin, piece.end - piece.begin)),
            column);
    }
    EXPECT_EQ(layout.XOf(pane, 0, 12'344), 5 * 12'344);
    EXPECT_EQ(layout.XOf(pane, 0, 12'345), 5 * 12'344); // inside the face: at its start
    EXPECT_EQ(layout.XOf(pane, 0, columns - 3), 135'072 + 10); // "ne|xt"
    EXPECT_EQ(layout.Width(pane, 0), layout.CellStarts(pane, 0).back());
    EXPECT_EQ(layout.Width(pane, 1), 135'072 + 20); // its column's run starts in the long line
    const form::PaneLayout::Piece whole = layout.PieceAt(pane, 1, 100.0, 200.0);
    EXPECT_EQ(whole.begin, 0U);
    EXPECT_EQ(whole.end, 10U);
}

} // namespace
