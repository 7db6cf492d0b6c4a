// SPDX-License-Identifier: MIT
// The result pane's model: what each gesture and key selects, and where the view stands while
// rows arrive. Both front-ends ask this model, so this table is what the desktop and the page do
// alike.
#include "form/pane_input.h"
#include "form/pane_model.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace {

using form::KeyMap;
using form::PaneKey;
using form::PaneModel;
using form::PanePosition;
using form::PaneUnit;

// A header with characters of one, two and four UTF-8 bytes (µ is one UTF-16 unit, the face
// two), rows of three cells, and the footer: with 30 rows, 33 lines, the last one empty.
std::string Report(int rows)
{
    std::string report = "Xtal = \u00b5\U0001F600 Hz\r\n";
    for (int row = 0; row < rows; ++row) {
        report += std::to_string(1000 + row).substr(1) + "\t0202A2\t003E23\r\n";
    }
    return report + "Over and Out...\r\n";
}

// One thing the user does, or rows of the run arriving.
struct Step {
    enum Kind { Press, Drag, Release, Key, Scroll, Rows, SelectAll, Hold, KeyName } kind;
    PanePosition at {};
    PaneUnit unit = PaneUnit::Character;
    PaneKey key = PaneKey::Left;
    bool shift = false;
    std::size_t count = 0; // the line scrolled to, or the rows that arrive
    const char *name = ""; // a key as a browser names it, in a key map, with these modifiers
    KeyMap map = KeyMap::Usual;
    std::uint8_t modifiers = 0;
};

Step Press(std::size_t line, std::size_t column, PaneUnit unit = PaneUnit::Character)
{
    return { Step::Press, { line, column }, unit };
}
Step ShiftPress(std::size_t line, std::size_t column)
{
    return { Step::Press, { line, column }, PaneUnit::Character, PaneKey::Left, true };
}
Step Drag(std::size_t line, std::size_t column)
{
    return { Step::Drag, { line, column } };
}
Step Key(PaneKey key, bool shift = false)
{
    return { Step::Key, {}, PaneUnit::Character, key, shift };
}
Step Hold(std::size_t line, std::size_t column)
{
    return { Step::Hold, { line, column } };
}
// A key pressed on a page, through the page's key map.
Step Keys(KeyMap map, const char *name, std::uint8_t modifiers = 0, bool shift = false)
{
    return { Step::KeyName, {}, PaneUnit::Character, PaneKey::Left, shift, 0, name, map,
        modifiers };
}
const Step kRelease { Step::Release };
const Step kSelectAll { Step::SelectAll };
Step ScrollTo(std::size_t top)
{
    return { Step::Scroll, {}, PaneUnit::Character, PaneKey::Left, false, top };
}
Step RowsArrive(std::size_t rows)
{
    return { Step::Rows, {}, PaneUnit::Character, PaneKey::Left, false, rows };
}

struct Case {
    const char *name;
    std::vector<Step> steps;
    std::string copied; // what the clipboard would get
    PanePosition caret;
    std::size_t top;
};

std::string WithLf(std::string text)
{
    for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at)) {
        text.erase(at, 1);
    }
    return text;
}

constexpr std::size_t kViewLines = 10;
constexpr std::size_t kEnd = 23; // the last top: 33 lines, 10 in view

TEST(PaneModelTest, GesturesKeysAndTheViewSelectAlikeEverywhere)
{
    using K = PaneKey;
    constexpr KeyMap kUsual = KeyMap::Usual;
    constexpr KeyMap kMac = KeyMap::Mac;
    constexpr PaneUnit kWord = PaneUnit::Word;
    constexpr PaneUnit kLine = PaneUnit::Line;
    const std::vector<Case> cases = {
        { "click places the caret", { Press(2, 1), kRelease }, "", { 2, 1 }, 0 },
        { "drag selects characters over lines", { Press(1, 1), Drag(2, 3), kRelease },
            "00\t0202A2\t003E23\n001", { 2, 3 }, 0 },
        { "double-click takes a word", { Press(1, 5, kWord), kRelease }, "0202A2", { 1, 10 }, 0 },
        { "double-click and drag takes whole words", { Press(1, 5, kWord), Drag(2, 1) },
            "0202A2\t003E23\n001", { 2, 3 }, 0 },
        { "double-click and drag back keeps the first word", { Press(2, 5, kWord), Drag(1, 12) },
            "003E23\n001\t0202A2", { 1, 11 }, 0 },
        { "triple-click takes the line and its end", { Press(2, 2, kLine), kRelease },
            "001\t0202A2\t003E23\n", { 3, 0 }, 0 },
        { "triple-click and drag takes whole lines", { Press(2, 2, kLine), Drag(1, 1), kRelease },
            "000\t0202A2\t003E23\n001\t0202A2\t003E23\n", { 1, 0 }, 0 },
        { "shift-click extends from the anchor", { Press(1, 4), kRelease, ShiftPress(2, 3) },
            "0202A2\t003E23\n001", { 2, 3 }, 0 },
        { "shift-arrows cross the line end",
            { Press(1, 11), kRelease, Key(K::LineEnd, true), Key(K::Right, true),
                Key(K::Right, true) },
            "003E23\n0", { 2, 1 }, 0 },
        { "shift-up onto the anchor leaves nothing selected",
            { Press(2, 4), kRelease, Key(K::Down, true), Key(K::Up, true) }, "", { 2, 4 }, 0 },
        { "left steps over a character of two units",
            { Press(0, 10), kRelease, Key(K::Left, true) }, "\U0001F600", { 0, 8 }, 0 },
        { "up on the first line goes to its start", { Press(0, 5), kRelease, Key(K::Up) }, "",
            { 0, 0 }, 0 },
        { "page down from the top turns a page", { Key(K::PageDown, true) },
            "Xtal = \u00b5\U0001F600 Hz\n000\t0202A2\t003E23\n001\t0202A2\t003E23\n002\t0202A2\t"
            "003E23\n003\t0202A2\t003E23\n004\t0202A2\t003E23\n005\t0202A2\t003E23\n006\t0202A2"
            "\t003E23\n007\t0202A2\t003E23\n008\t0202A2\t003E23\n",
            { 10, 0 }, 10 },
        { "page up goes back a page", { Key(K::PageDown), Key(K::PageDown), Key(K::PageUp) }, "",
            { 10, 0 }, 10 },
        { "page up in the first page goes to the start", { Press(5, 3), Key(K::PageUp) }, "",
            { 0, 0 }, 0 },
        { "page down past the last line goes to its end",
            { Key(K::PageDown), Key(K::PageDown), Key(K::PageDown), Key(K::PageDown) }, "",
            { 32, 0 }, kEnd },
        { "home and end keep to the line",
            { Press(3, 4), Key(K::LineEnd), Key(K::LineStart, true) }, "002\t0202A2\t003E23",
            { 3, 0 }, 0 },
        { "select all takes every line", { kSelectAll }, WithLf(Report(30)), { 32, 0 }, 0 },

        // Word moves, and the keys of each platform's map.
        { "ctrl+shift+right selects to the word's end",
            { Press(1, 1), kRelease, Keys(kUsual, "ArrowRight", form::kCtrl, true) }, "00",
            { 1, 3 }, 0 },
        { "option+shift+right on a mac does the same",
            { Press(1, 1), kRelease, Keys(kMac, "ArrowRight", form::kAlt, true) }, "00", { 1, 3 },
            0 },
        { "word moves cross blanks and line ends",
            { Press(1, 17), Key(K::WordRight, true), Key(K::WordRight, true) }, "\n001\t0202A2",
            { 2, 10 }, 0 },
        { "a word move back takes the word's start",
            { Press(2, 0), Key(K::WordLeft, true), Key(K::WordLeft, true) }, "0202A2\t003E23\n",
            { 1, 4 }, 0 },
        { "word moves stop at the text's ends",
            { Key(K::WordLeft), Key(K::TextEnd), Key(K::WordRight) }, "", { 32, 0 }, kEnd },
        { "cmd+left and cmd+shift+right keep to the line",
            { Press(2, 5), Keys(kMac, "ArrowLeft", form::kMeta),
                Keys(kMac, "ArrowRight", form::kMeta, true) },
            "001\t0202A2\t003E23", { 2, 17 }, 0 },
        { "cmd+down and home go to the text's ends on a mac",
            { Keys(kMac, "ArrowDown", form::kMeta), Keys(kMac, "Home", 0, true) },
            WithLf(Report(30)), { 0, 0 }, 0 },
        { "ctrl+e and ctrl+a keep to the line on a mac",
            { Press(3, 5), Keys(kMac, "e", form::kCtrl), Keys(kMac, "A", form::kCtrl, true) },
            "002\t0202A2\t003E23", { 3, 0 }, 0 },
        { "ctrl+shift+home selects to the start",
            { Press(3, 5), Keys(kUsual, "Home", form::kCtrl, true) },
            "Xtal = \u00b5\U0001F600 Hz\n000\t0202A2\t003E23\n001\t0202A2\t003E23\n002\t0",
            { 0, 0 }, 0 },
        { "ctrl+home does nothing on a mac",
            { Press(3, 5), kRelease, Keys(kMac, "Home", form::kCtrl, true) }, "", { 3, 5 }, 0 },
        { "ctrl+a selects all", { Keys(kUsual, "a", form::kCtrl) }, WithLf(Report(30)), { 32, 0 },
            0 },
        { "cmd+a on a mac", { Keys(kMac, "a", form::kMeta) }, WithLf(Report(30)), { 32, 0 }, 0 },
        { "a finger held on a word selects it", { Hold(1, 6) }, "0202A2", { 1, 10 }, 0 },
        { "a finger held on the selection keeps it",
            { Press(1, 1), Drag(2, 2), kRelease, Hold(1, 12) }, "00\t0202A2\t003E23\n00", { 2, 2 },
            0 },

        // The view while the run appends rows: it follows the end while it shows the last line.
        { "the view follows the end", { Key(K::TextEnd), RowsArrive(5) }, "", { 32, 0 }, kEnd + 5 },
        { "a scroll up stays where the user put it",
            { Key(K::TextEnd), ScrollTo(7), RowsArrive(5), RowsArrive(5) }, "", { 32, 0 }, 7 },
        { "back at the end, the view follows again",
            { ScrollTo(3), RowsArrive(5), ScrollTo(99), RowsArrive(5) }, "", { 0, 0 }, kEnd + 10 },
        { "a drag holds the view and selects what it covers",
            { Key(K::TextEnd), Press(25, 0), RowsArrive(5), Drag(27, 0), RowsArrive(5), kRelease },
            "024\t0202A2\t003E23\n025\t0202A2\t003E23\n", { 27, 0 }, kEnd },
        { "a selection stays as rows arrive", { Press(29, 0, kLine), kRelease, RowsArrive(5) },
            "028\t0202A2\t003E23\n", { 30, 0 }, 0 },
    };

    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        PaneModel pane;
        pane.SetVisibleLines(kViewLines);
        pane.SetText(Report(30));
        std::size_t rows = 30;
        for (const Step &step : c.steps) {
            switch (step.kind) {
            case Step::Press:
                pane.Press(step.at, step.unit, step.shift);
                break;
            case Step::Drag:
                pane.DragTo(step.at);
                break;
            case Step::Release:
                pane.Release();
                break;
            case Step::Key:
                pane.Key(step.key, step.shift);
                break;
            case Step::Scroll:
                pane.ScrollTo(step.count);
                break;
            case Step::Rows:
                for (std::size_t i = 0; i < step.count; ++i, ++rows) {
                    pane.Append(std::to_string(rows) + "\t0202A2\t003E23\r\n");
                }
                pane.SyncView();
                break;
            case Step::SelectAll:
                pane.SelectAll();
                break;
            case Step::Hold:
                pane.Hold(step.at);
                break;
            case Step::KeyName:
                if (const auto *binding = FindPaneKey(step.map, step.name, step.modifiers)) {
                    if (binding->command == form::PaneCommand::SelectAll) {
                        pane.SelectAll();
                    } else if (binding->command == form::PaneCommand::Move) {
                        pane.Key(binding->move, step.shift);
                    }
                }
                break;
            }
        }
        EXPECT_EQ(pane.SelectedText(), c.copied);
        EXPECT_EQ(pane.Caret(), c.caret);
        EXPECT_EQ(pane.Top(), c.top);
    }
}

// The text keeps its bytes exactly, whatever pieces they arrive in, and a new text leaves
// nothing of the one before, nor of the selection, though it reuses the old one's memory.
TEST(PaneModelTest, TextIsKeptExactlyAndReplacedWhole)
{
    PaneModel pane;
    pane.SetText("Xtal = 1 Hz\r\n");
    pane.Append("168\t\t 100"); // a line may arrive in pieces
    pane.Append("000 Hz\r"); // and its CR apart from its LF
    pane.Append("\nlast \u00b5\r\n");
    pane.SyncView();
    EXPECT_EQ(pane.Report().Text(), "Xtal = 1 Hz\r\n168\t\t 100000 Hz\r\nlast \u00b5\r\n");
    ASSERT_EQ(pane.LineCount(), 4U);
    EXPECT_EQ(pane.Line(1), "168\t\t 100000 Hz");
    EXPECT_EQ(pane.Line(2), "last \u00b5");
    EXPECT_EQ(pane.LineLength(2), 6U);
    EXPECT_EQ(pane.Line(3), "");
    pane.Hold({ 1, 4 }); // between two TABs
    EXPECT_EQ(pane.SelectedText(), "168");

    pane.SelectAll();
    for (const auto &[digit, rows] :
        { std::pair { '1', 90'000 }, { '2', 50'000 }, { '3', 70'000 } }) {
        const std::string row = std::string(60, digit) + "\r\n";
        pane.SetText("header\r\n");
        EXPECT_FALSE(pane.HasSelection());
        std::string expected = "header\r\n";
        for (int i = 0; i < rows; ++i) {
            pane.Append(row);
            expected += row;
        }
        pane.SyncView();
        EXPECT_TRUE(pane.Report().Text() == expected);
        EXPECT_EQ(pane.LineCount(), static_cast<std::size_t>(rows) + 2);
        EXPECT_EQ(pane.Line(static_cast<std::size_t>(rows)), row.substr(0, 60));
        pane.ReleaseSpareMemory();
    }
}

// A press soon after the last and near it is its next click, up to a triple click.
TEST(PaneModelTest, PressesCountIntoDoubleAndTripleClicks)
{
    const std::vector<std::tuple<double, double, int>> presses = { // time, x, clicks
        { 0, 0, 1 }, { 100, 3, 2 }, { 300, 3, 3 }, { 400, 3, 1 }, { 1000, 3, 1 }, { 1100, 20, 1 },
        { 1200, 20, 2 }
    };
    form::Click click;
    for (const auto &[time, x, clicks] : presses) {
        click = form::NextClick(click, x, 0, time);
        EXPECT_EQ(click.count, clicks) << time;
    }
}

// A drag held past the view scrolls towards the pointer, the faster the farther it is; the view
// scrolls sideways as little as shows the caret.
TEST(PaneModelTest, HeldDragScrollsFasterFartherOut)
{
    const form::ViewEdges view { 10, 20, 110, 220 };
    EXPECT_FALSE(form::AutoScrollFor(view, 10, 220));
    // x, y: across, down, interval
    const std::vector<std::tuple<double, double, int, int, int>> held
        = { { 50, 221, 0, 1, 100 }, { 50, 10, 0, -1, 49 }, { 110, 240, 0, 1, 12 },
              { 50, -280, 0, -1, 5 }, { 140, 225, 1, 1, 5 }, { -4, 20, -1, 0, 25 } };
    for (const auto &[x, y, across, down, interval] : held) {
        const auto scroll = form::AutoScrollFor(view, x, y);
        ASSERT_TRUE(scroll);
        EXPECT_EQ(std::tuple(scroll->across, scroll->down, scroll->interval),
            std::tuple(across, down, interval));
    }
    EXPECT_EQ(form::ScrollToReveal(50, 0, 100, 4), 0);
    EXPECT_EQ(form::ScrollToReveal(120, 0, 100, 4), 24);
    EXPECT_EQ(form::ScrollToReveal(30, 40, 100, 4), 26);
    EXPECT_EQ(form::ScrollToReveal(2, 40, 100, 4), 0);
}

} // namespace
