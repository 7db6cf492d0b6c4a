// SPDX-License-Identifier: MIT
// The result pane as every front-end shows it: the report's text, the user's selection, how a
// click, a drag and the keys move it, what it copies, where the view stands while rows arrive,
// and (in form/pane_layout.h) where each cell of a row starts. A front-end turns a point into a
// position, draws, scrolls, and hands the copied text to its clipboard; every rule is here.
#pragma once

#include "form/pane_text.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace form {

// A place in the text: a line, and a column counted in UTF-16 units of the line as shown
// (without its line end), as both toolkits count the characters of a string.
struct PanePosition {
    std::size_t line = 0;
    std::size_t column = 0;
    friend bool operator==(const PanePosition &, const PanePosition &) = default;
    friend bool operator<(const PanePosition &a, const PanePosition &b)
    {
        return a.line != b.line ? a.line < b.line : a.column < b.column;
    }
};

// What a press takes: a character (one click), a word (two) or a line with its line end
// (three); a drag that follows extends the selection by the same unit.
enum class PaneUnit : std::uint8_t { Character = 1, Word, Line };

enum class PaneKey : std::uint8_t {
    Left,
    Right,
    WordLeft, // to the start of the word before the caret
    WordRight, // to the end of the word after it
    Up,
    Down,
    PageUp,
    PageDown,
    LineStart, // Home
    LineEnd, // End
    TextStart, // Ctrl+Home
    TextEnd, // Ctrl+End
};

class PaneModel {
public:
    using Text = PaneText;

    PaneModel();

    // Replaces the text: the selection goes back to the start, and so does the view. The view
    // knows the new text at once; lines appended after it reach the view at the next SyncView.
    void SetText(std::string_view text);
    void Append(std::string_view text);
    void ReleaseSpareMemory()
    {
        m_text.ReleaseSpareMemory();
        m_offsetMarks.ReleaseSpareMemory();
    }
    const Text &Report() const { return m_text; }
    // Changes whenever the text is replaced, so that a view knows to forget what it drew.
    std::uint64_t TextSerial() const { return m_serial; }

    // The lines the view knows of, as shown: without their line ends.
    std::size_t LineCount() const { return m_shownLines; }
    std::string_view Line(std::size_t line) const { return m_text.Line(line); }
    std::size_t LineLength(std::size_t line) const;

    PanePosition Anchor() const { return m_anchor; }
    PanePosition Caret() const { return m_caret; }
    bool HasSelection() const { return m_anchor != m_caret; }
    // The selection's first and last positions, in the text's order.
    std::pair<PanePosition, PanePosition> Selection() const;
    void Select(PanePosition anchor, PanePosition caret);
    void SelectAll();
    // What the clipboard gets: the selected lines as shown, joined by LF, in UTF-8.
    std::string SelectedText() const { return TextBetween(Selection().first, Selection().second); }
    std::string TextBetween(PanePosition from, PanePosition to) const;

    // The left button pressed at a position, by `unit`; with `extend` (Shift) the caret moves
    // and the anchor stays. Until Release, DragTo extends the selection by that unit and the
    // view stays where it is as rows arrive.
    void Press(PanePosition at, PaneUnit unit, bool extend);
    void DragTo(PanePosition at);
    void Release() { m_selecting = false; }
    bool Selecting() const { return m_selecting; }
    // A finger held on the text selects the word under it, or the nearest on its line, as phones
    // do, for the menu that opens to copy it; on the selection, it keeps the selection.
    void Hold(PanePosition at);

    // Moves the caret, and with `extend` (Shift) keeps the anchor; the view scrolls to show the
    // caret. A move up past the first line goes to the start of the text, one down past the last
    // line to its end; Page Up and Page Down move the caret and the view by the view's height.
    void Key(PaneKey key, bool extend);

    // The view: how many whole lines it shows, and the first of them.
    void SetVisibleLines(std::size_t lines);
    std::size_t VisibleLines() const { return m_visibleLines; }
    std::size_t Top() const { return m_top; }
    std::size_t LastTop() const;
    // The user has scrolled.
    void ScrollTo(std::size_t top) { m_top = std::min(top, LastTop()); }
    // Scrolls as little as shows the position's line.
    void ScrollToShow(PanePosition position);
    // The lines appended since the last call reach the view. The view follows the end only if
    // it was showing the last line and no press of the mouse is selecting; once the user has
    // scrolled away it stays where the user put it. Says whether the view has anything new.
    bool SyncView();

    // The text as assistive technology reads it: the lines the view knows of, joined by LF,
    // counted in UTF-16 units. Offsets come from a mark every few dozen lines, so that a query
    // costs a few lines however long the report, once the lines before it have been counted.
    std::size_t CharacterCount() const;
    std::size_t OffsetOf(PanePosition position) const;
    PanePosition PositionOf(std::size_t offset) const;

private:
    PanePosition Clamped(PanePosition position) const;
    std::pair<PanePosition, PanePosition> UnitAround(PanePosition at, PaneUnit unit) const;
    PanePosition Moved(PaneKey key) const;
    PanePosition WordEdge(bool forward) const;
    std::size_t LineOffset(std::size_t line) const;

    Text m_text;
    std::uint64_t m_serial = 0;
    std::size_t m_shownLines = 1;
    PanePosition m_anchor;
    PanePosition m_caret;
    bool m_selecting = false;
    PaneUnit m_unit = PaneUnit::Character;
    // What the press took first: the word or line that a drag keeps whole.
    PanePosition m_unitStart;
    PanePosition m_unitEnd;
    std::size_t m_visibleLines = 1;
    std::size_t m_top = 0;
    // The offset of every kLinesPerOffsetMark-th line, as far as they have been asked for.
    mutable ChunkedList<std::size_t, 8192> m_offsetMarks;
};

// The UTF-16 units of UTF-8 text, and the byte at which a column of a line starts (a column
// inside a character counts as its start; one past the end, as the end).
std::size_t Utf16Length(std::string_view utf8);
std::size_t ByteOfColumn(std::string_view utf8, std::size_t column);

} // namespace form
