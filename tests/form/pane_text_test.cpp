// SPDX-License-Identifier: MIT
// The pane's text store: whatever pieces the text arrives in, across the ends of its blocks and
// of its index's chunks, it keeps the bytes exactly and finds every line; and what it holds never
// moves while more arrives.
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
        { "rows cross the ends of blocks", "Xtal = 16800000 Hz\r\n",
            "168\t\t 100000 Hz\t1000\t\t 0 Hz        \t0202A2\t003E23\r\n", 90'000, 1000 },
        { "a row arrives in pieces, its CR apart from its LF", "header\r\n",
            std::string(60, '7') + "\r\n", 40'000, 7 },
        { "short lines cross the index's chunks", "", "1\r\n", 300'000, 3 },
        { "a line longer than a block keeps a block of its own",
            std::string(5 << 20, 'x') + "\r\n" + std::string(3 << 20, 'y'), "z\r\n", 3, 1 },
        { "an empty text", "", "", 0, 1 },
    };
    for (const AppendCase &c : cases) {
        SCOPED_TRACE(c.name);
        form::PaneText<> text;
        std::string expected = c.head;
        text.Set(c.head);
        for (std::size_t row = 0; row < c.rows; ++row) {
            for (std::size_t from = 0; from < c.row.size(); from += c.piece) {
                text.Append(std::string_view(c.row).substr(from, c.piece));
            }
            expected += c.row;
        }
        EXPECT_EQ(text.Size(), expected.size());
        EXPECT_TRUE(text.Text() == expected);
        std::vector<std::string_view> lines;
        for (std::size_t start = 0;;) {
            const std::size_t end = expected.find('\n', start);
            std::string_view line = std::string_view(expected).substr(
                start, end == std::string::npos ? end : end - start);
            lines.push_back(line.ends_with('\r') ? line.substr(0, line.size() - 1) : line);
            if (end == std::string::npos) {
                break;
            }
            start = end + 1;
        }
        ASSERT_EQ(text.LineCount(), lines.size());
        for (std::size_t line = 0; line < lines.size(); ++line) {
            if (text.Line(line) != lines[line]) {
                ADD_FAILURE() << "line " << line;
                break;
            }
        }
        std::size_t blocked = 0;
        for (std::size_t block = 0; block < text.BlockCount(); ++block) {
            blocked += text.BlockText(block).size();
        }
        EXPECT_EQ(blocked, expected.size());
    }
}

// Appending moves neither the text kept nor the index of its lines, and a new text fills the
// memory of the one before.
TEST(PaneTextTest, WhatIsKeptNeverMoves)
{
    form::PaneText<> text;
    text.Set("first\r\n");
    const char *first = text.Line(0).data();
    for (int row = 0; row < 200'000; ++row) {
        text.Append("0123456789\r\n");
    }
    EXPECT_EQ(text.Line(0).data(), first);
    EXPECT_GT(text.BlockCount(), 1U);

    form::ChunkedList<int, 4> list;
    list.PushBack(0);
    const int *kept = &list[0];
    for (int i = 1; i < 100; ++i) {
        list.PushBack(i);
    }
    EXPECT_EQ(&list[0], kept);
    EXPECT_EQ(list[99], 99);
    list.Clear();
    list.PushBack(7);
    EXPECT_EQ(&list[0], kept);
    EXPECT_EQ(list.Size(), 1U);
}

} // namespace
