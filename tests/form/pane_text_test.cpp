// SPDX-License-Identifier: MIT
// The pane's text store: whatever pieces the text arrives in, across the ends of its blocks and
// of its index's chunks, it keeps the bytes exactly, finds every line, and moves nothing it holds.
#include "form/pane_text.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

namespace {

struct AppendCase {
    const char *name;
    std::string head; // set first
    std::string row; // then appended `rows` times, in pieces of `piece` bytes
    std::size_t rows;
    std::size_t piece;
};

TEST(PaneTextTest, KeepsEveryByteAndLineAcrossBlocksAndChunks)
{
    const std::vector<AppendCase> cases = {
        { "rows cross the ends of blocks", "Xtal\r\n", "168\t\t 100000 Hz\t1000\t0202A2\r\n",
            90'000, 1000 },
        { "rows in pieces, CR apart from LF", "h\r\n", std::string(60, '7') + "\r\n", 40'000, 7 },
        { "short lines cross the index's chunks", "", "1\r\n", 300'000, 3 },
        { "a line longer than a block has one of its own",
            std::string(5 << 20, 'x') + "\r\n" + std::string(3 << 20, 'y'), "z\r\n", 3, 1 },
    };
    for (const AppendCase &c : cases) {
        SCOPED_TRACE(c.name);
        form::PaneText text;
        text.Set(c.head);
        const char *first = text.Line(0).data();
        std::string expected = c.head;
        for (std::size_t row = 0; row < c.rows; ++row) {
            for (std::size_t from = 0; from < c.row.size(); from += c.piece) {
                text.Append(std::string_view(c.row).substr(from, c.piece));
            }
            expected += c.row;
        }
        EXPECT_TRUE(text.Text() == expected);
        EXPECT_EQ(text.Line(0).data(), first);
        std::size_t line = 0;
        for (std::size_t start = 0; start <= expected.size(); ++line) {
            const std::size_t end = std::min(expected.find('\n', start), expected.size());
            const std::string_view shown = std::string_view(expected).substr(start, end - start);
            ASSERT_EQ(text.Line(line), shown.substr(0, shown.find('\r'))) << line;
            start = end + 1;
        }
        EXPECT_EQ(text.LineCount(), line);
    }
}

} // namespace
