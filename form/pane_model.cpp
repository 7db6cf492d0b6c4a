// SPDX-License-Identifier: MIT
#include "form/pane_model.h"

#include <algorithm>
#include <tuple>

namespace form {
namespace {

constexpr std::size_t kLinesPerOffsetMark = 64;

// What separates words, with the line ends.
constexpr std::string_view kBlanks = " \t";

bool IsBlank(char c)
{
    return kBlanks.find(c) != std::string_view::npos;
}

bool StartsCharacter(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0U) != 0x80U;
}

// Where the word around `byte` starts and ends, in bytes of the line: a word is what lies between
// blanks, tabs and line ends.
std::size_t WordStart(std::string_view text, std::size_t byte)
{
    while (byte > 0 && !IsBlank(text[byte - 1])) {
        --byte;
    }
    return byte;
}

std::size_t WordEnd(std::string_view text, std::size_t byte)
{
    while (byte < text.size() && !IsBlank(text[byte])) {
        ++byte;
    }
    return byte;
}

// A character of four UTF-8 bytes is two UTF-16 units.
std::size_t UnitsOf(char lead)
{
    return static_cast<unsigned char>(lead) >= 0xF0U ? 2 : 1;
}

} // namespace

std::size_t Utf16Length(std::string_view utf8)
{
    std::size_t units = 0;
    for (char c : utf8) {
        if (StartsCharacter(c)) {
            units += UnitsOf(c);
        }
    }
    return units;
}

std::size_t ByteOfColumn(std::string_view utf8, std::size_t column)
{
    std::size_t units = 0;
    for (std::size_t byte = 0; byte < utf8.size(); ++byte) {
        if (StartsCharacter(utf8[byte])) {
            units += UnitsOf(utf8[byte]);
            if (units > column) {
                return byte;
            }
        }
    }
    return utf8.size();
}

PaneModel::PaneModel()
{
    SetText({});
}

void PaneModel::SetText(std::string_view text)
{
    m_text.Set(text);
    ++m_serial;
    m_shownLines = m_text.LineCount();
    m_anchor = m_caret = {};
    m_selecting = false;
    m_top = 0;
    m_offsetMarks.Clear();
    m_offsetMarks.PushBack(0);
}

void PaneModel::Append(std::string_view text)
{
    m_text.Append(text);
}

std::size_t PaneModel::LineLength(std::size_t line) const
{
    const std::string_view bytes = Line(line);
    const bool ascii = std::all_of(
        bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    return ascii ? bytes.size() : Utf16Length(bytes);
}

std::pair<PanePosition, PanePosition> PaneModel::Selection() const
{
    return std::minmax(m_anchor, m_caret);
}

PanePosition PaneModel::Clamped(PanePosition position) const
{
    position.line = std::min(position.line, LineCount() - 1);
    position.column = std::min(position.column, LineLength(position.line));
    return position;
}

void PaneModel::Select(PanePosition anchor, PanePosition caret)
{
    m_anchor = Clamped(anchor);
    m_caret = Clamped(caret);
}

void PaneModel::SelectAll()
{
    Select({}, { LineCount() - 1, LineLength(LineCount() - 1) });
}

std::string PaneModel::TextBetween(PanePosition from, PanePosition to) const
{
    std::string text;
    for (std::size_t line = from.line; line <= to.line && line < m_text.LineCount(); ++line) {
        const std::string_view shown = Line(line);
        const std::size_t start = line == from.line ? ByteOfColumn(shown, from.column) : 0;
        const std::size_t end = line == to.line ? ByteOfColumn(shown, to.column) : shown.size();
        text.append(shown.substr(start, end > start ? end - start : 0));
        if (line != to.line) {
            text += '\n';
        }
    }
    return text;
}

// A word is what lies between blanks and tabs: a divider, a frequency or a register word. A line
// takes its line end with it, so that lines copied one after another read as they did.
std::pair<PanePosition, PanePosition> PaneModel::UnitAround(PanePosition at, PaneUnit unit) const
{
    at = Clamped(at);
    switch (unit) {
    case PaneUnit::Character:
        break;
    case PaneUnit::Word: {
        const std::string_view text = Line(at.line);
        const std::size_t byte = ByteOfColumn(text, at.column);
        return { { at.line, Utf16Length(text.substr(0, WordStart(text, byte))) },
            { at.line, Utf16Length(text.substr(0, WordEnd(text, byte))) } };
    }
    case PaneUnit::Line:
        return { { at.line, 0 },
            at.line + 1 < LineCount() ? PanePosition { at.line + 1, 0 }
                                      : PanePosition { at.line, LineLength(at.line) } };
    }
    return { at, at };
}

void PaneModel::Press(PanePosition at, PaneUnit unit, bool extend)
{
    m_selecting = true;
    m_unit = unit;
    if (extend && unit == PaneUnit::Character) {
        m_caret = Clamped(at);
        m_unitStart = m_unitEnd = m_anchor;
        return;
    }
    std::tie(m_unitStart, m_unitEnd) = UnitAround(at, unit);
    m_anchor = m_unitStart;
    m_caret = m_unitEnd;
}

// Past the word or line the press took, the selection grows by whole units, and keeps what the
// press took whichever way the drag goes.
void PaneModel::DragTo(PanePosition at)
{
    if (!m_selecting) {
        return;
    }
    at = Clamped(at);
    if (m_unit == PaneUnit::Character) {
        m_caret = at;
        return;
    }
    const auto [start, end] = UnitAround(at, m_unit);
    const bool backwards = at < m_unitStart;
    m_anchor = backwards ? m_unitEnd : m_unitStart;
    m_caret = backwards ? start : std::max(end, m_unitEnd);
}

void PaneModel::Hold(PanePosition at)
{
    const auto [from, to] = Selection();
    if (HasSelection() && !(at < from) && !(to < at)) {
        return;
    }
    Press(at, PaneUnit::Word, false);
    Release();
    if (!HasSelection()) {
        // Between cells: the word before the finger, or after it, as phones take the nearest.
        const std::string_view text = Line(m_caret.line);
        const std::size_t byte = ByteOfColumn(text, m_caret.column);
        std::size_t word
            = byte == 0 ? std::string_view::npos : text.find_last_not_of(kBlanks, byte - 1);
        if (word == std::string_view::npos) {
            word = text.find_first_not_of(kBlanks, byte);
        }
        if (word != std::string_view::npos) {
            Press({ m_caret.line, Utf16Length(text.substr(0, word)) }, PaneUnit::Word, false);
            Release();
        }
    }
}

// A word move skips the blanks and line ends before the word, then the word: the same words a
// double-click takes.
PanePosition PaneModel::WordEdge(bool forward) const
{
    std::size_t line = m_caret.line;
    std::string_view text = Line(line);
    std::size_t byte = ByteOfColumn(text, m_caret.column);
    if (forward) {
        while ((byte = text.find_first_not_of(kBlanks, byte)) == std::string_view::npos
            && line + 1 < LineCount()) {
            text = Line(++line);
            byte = 0;
        }
        byte = WordEnd(text, std::min(byte, text.size()));
    } else {
        constexpr std::size_t kNone = std::string_view::npos;
        std::size_t last = byte == 0 ? kNone : text.find_last_not_of(kBlanks, byte - 1);
        while (last == kNone && line > 0) {
            text = Line(--line);
            last = text.find_last_not_of(kBlanks);
        }
        byte = last == kNone ? 0 : WordStart(text, last + 1);
    }
    return { line, Utf16Length(text.substr(0, byte)) };
}

PanePosition PaneModel::Moved(PaneKey key) const
{
    const PanePosition caret = m_caret;
    const std::size_t last = LineCount() - 1;
    const PanePosition textEnd { last, LineLength(last) };
    const std::string_view text = Line(caret.line);
    switch (key) {
    case PaneKey::Left:
        if (caret.column > 0) {
            std::size_t byte = ByteOfColumn(text, caret.column);
            do {
                --byte;
            } while (byte > 0 && !StartsCharacter(text[byte]));
            return { caret.line, Utf16Length(text.substr(0, byte)) };
        }
        return caret.line > 0 ? PanePosition { caret.line - 1, LineLength(caret.line - 1) } : caret;
    case PaneKey::Right: {
        const std::size_t byte = ByteOfColumn(text, caret.column);
        if (byte < text.size()) {
            return { caret.line, caret.column + UnitsOf(text[byte]) };
        }
        return caret.line < last ? PanePosition { caret.line + 1, 0 } : caret;
    }
    case PaneKey::WordLeft:
        return WordEdge(false);
    case PaneKey::WordRight:
        return WordEdge(true);
    case PaneKey::Up:
        return caret.line > 0 ? PanePosition { caret.line - 1, caret.column } : PanePosition {};
    case PaneKey::Down:
        return caret.line < last ? PanePosition { caret.line + 1, caret.column } : textEnd;
    case PaneKey::PageUp:
        return caret.line >= m_visibleLines
            ? PanePosition { caret.line - m_visibleLines, caret.column }
            : PanePosition {};
    case PaneKey::PageDown:
        return caret.line + m_visibleLines <= last
            ? PanePosition { caret.line + m_visibleLines, caret.column }
            : textEnd;
    case PaneKey::LineStart:
        return { caret.line, 0 };
    case PaneKey::LineEnd:
        return { caret.line, LineLength(caret.line) };
    case PaneKey::TextStart:
        return {};
    case PaneKey::TextEnd:
        return textEnd;
    }
    return caret;
}

void PaneModel::Key(PaneKey key, bool extend)
{
    m_caret = Clamped(Moved(key));
    if (!extend) {
        m_anchor = m_caret;
    }
    // A page key turns the page: the view moves as far as the caret, which keeps its place on
    // screen where the text allows.
    if (key == PaneKey::PageDown) {
        ScrollTo(m_top + m_visibleLines);
    } else if (key == PaneKey::PageUp) {
        m_top -= std::min(m_top, m_visibleLines);
    }
    ScrollToShow(m_caret);
}

void PaneModel::SetVisibleLines(std::size_t lines)
{
    const bool atEnd = m_top >= LastTop();
    m_visibleLines = std::max<std::size_t>(lines, 1);
    m_top = atEnd ? LastTop() : std::min(m_top, LastTop());
}

std::size_t PaneModel::LastTop() const
{
    return LineCount() > m_visibleLines ? LineCount() - m_visibleLines : 0;
}

void PaneModel::ScrollToShow(PanePosition position)
{
    if (position.line < m_top) {
        m_top = position.line;
    } else if (position.line >= m_top + m_visibleLines) {
        m_top = position.line - m_visibleLines + 1;
    }
}

bool PaneModel::SyncView()
{
    const std::size_t lines = m_text.LineCount();
    if (lines == m_shownLines) {
        return false;
    }
    const bool follow = !m_selecting && m_top >= LastTop();
    m_shownLines = lines;
    if (follow) {
        m_top = LastTop();
    }
    return true;
}

// The marks count whole lines only: the last line, which may still grow, is never behind one.
std::size_t PaneModel::LineOffset(std::size_t line) const
{
    const std::size_t mark = line / kLinesPerOffsetMark;
    while (m_offsetMarks.Size() <= mark) {
        const std::size_t first = (m_offsetMarks.Size() - 1) * kLinesPerOffsetMark;
        std::size_t offset = m_offsetMarks.Back();
        for (std::size_t counted = first; counted < first + kLinesPerOffsetMark; ++counted) {
            offset += LineLength(counted) + 1;
        }
        m_offsetMarks.PushBack(offset);
    }
    std::size_t offset = m_offsetMarks[mark];
    for (std::size_t counted = mark * kLinesPerOffsetMark; counted < line; ++counted) {
        offset += LineLength(counted) + 1;
    }
    return offset;
}

std::size_t PaneModel::CharacterCount() const
{
    return LineOffset(LineCount() - 1) + LineLength(LineCount() - 1);
}

std::size_t PaneModel::OffsetOf(PanePosition position) const
{
    return LineOffset(position.line) + position.column;
}

PanePosition PaneModel::PositionOf(std::size_t offset) const
{
    offset = std::min(offset, CharacterCount()); // sets every mark
    // The last mark at or before the offset.
    std::size_t mark = 0;
    for (std::size_t after = m_offsetMarks.Size(); after - mark > 1;) {
        const std::size_t middle = mark + (after - mark) / 2;
        (m_offsetMarks[middle] <= offset ? mark : after) = middle;
    }
    PanePosition position { mark * kLinesPerOffsetMark, offset - m_offsetMarks[mark] };
    for (std::size_t length = LineLength(position.line);
         position.column > length && position.line + 1 < LineCount();
         length = LineLength(position.line)) {
        position.column -= length + 1;
        ++position.line;
    }
    return position;
}

} // namespace form
