// SPDX-License-Identifier: MIT
#include "form/pane_layout.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace form {
namespace {

// A long line is marked every so many characters: a piece in view is never much longer than
// the view is wide.
constexpr std::size_t kMarkCharacters = 128;

bool IsContinuation(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0U) == 0x80U;
}

} // namespace

void PaneLayout::SetFont(double tabStop, Measure width)
{
    m_tabStop = tabStop;
    m_width = std::move(width);
    m_space = m_width(" ");
    m_viewLaidOut = false;
    m_asciiWidths.fill(-1.0);
    m_otherWidths.clear();
    for (LongLine &longLine : m_longLines) {
        longLine = {};
    }
}

// The screen draws on whole pixels: a gap within half a pixel of a space's width shows as one,
// and the column stays under its heading.
double PaneLayout::StopAfter(double end) const
{
    return std::ceil((end + m_space - 0.5) / m_tabStop) * m_tabStop;
}

double PaneLayout::CharacterWidth(std::string_view character)
{
    const auto lead = static_cast<unsigned char>(character.front());
    if (character.size() == 1 && lead < m_asciiWidths.size()) {
        double &width = m_asciiWidths.at(lead);
        if (width < 0.0) {
            width = m_width(character);
        }
        return width;
    }
    std::uint32_t key = 0;
    for (char c : character) {
        key = key << 8U | static_cast<unsigned char>(c);
    }
    auto known = std::lower_bound(m_otherWidths.begin(), m_otherWidths.end(),
        std::pair { key, 0.0 }, [](const auto &a, const auto &b) { return a.first < b.first; });
    if (known == m_otherWidths.end() || known->first != key) {
        known = m_otherWidths.insert(known, { key, m_width(character) });
    }
    return known->second;
}

// A long line is measured a character at a time, each character once per font: its pieces are
// laid out from these sums, which leave out what the font's kerning would add between
// characters, and so the line is measured at once however long it is.
const PaneLayout::LongLine &PaneLayout::Marks(const PaneModel &pane, std::size_t line)
{
    const std::string_view text = pane.Line(line);
    for (const LongLine &known : m_longLines) {
        if (known.serial == pane.TextSerial() && known.line == line && known.size == text.size()
            && !known.marks.empty()) {
            return known;
        }
    }
    LongLine &longLine = m_longLines.at(m_nextLongLine++ % m_longLines.size());
    longLine = { pane.TextSerial(), line, text.size(), { Mark {} }, {}, 0.0 };
    Mark at;
    std::size_t characters = 0;
    while (at.byte < text.size()) {
        if (text[at.byte] == '\t') {
            longLine.cellWidths.push_back(at.x);
            at = { at.byte + 1, at.column + 1, at.cell + 1, 0.0 };
            longLine.marks.push_back(at);
            characters = 0;
            continue;
        }
        std::size_t end = at.byte + 1;
        while (end < text.size() && end - at.byte < 4 && IsContinuation(text[end])) {
            ++end;
        }
        const std::string_view character = text.substr(at.byte, end - at.byte);
        at.x += CharacterWidth(character);
        at.column += Utf16Length(character);
        at.byte = end;
        if (++characters == kMarkCharacters && at.byte < text.size()) {
            longLine.marks.push_back(at);
            characters = 0;
        }
    }
    longLine.lastCellWidth = at.x;
    return longLine;
}

void PaneLayout::MeasureCells(const PaneModel &pane, std::size_t line, std::vector<double> &widths)
{
    const std::string_view text = pane.Line(line);
    if (text.size() > kLongLine) {
        widths = Marks(pane, line).cellWidths;
        return;
    }
    widths.clear();
    std::size_t from = 0;
    for (std::size_t tab = text.find('\t'); tab != std::string_view::npos;
         tab = text.find('\t', from)) {
        widths.push_back(tab > from ? m_width(text.substr(from, tab - from)) : 0.0);
        from = tab + 1;
    }
}

void PaneLayout::LayOutView(const PaneModel &pane)
{
    const std::size_t first = pane.Top() > 0 ? pane.Top() - 1 : 0;
    const std::size_t last = std::min(pane.LineCount(), pane.Top() + pane.VisibleLines() + 2);
    const ViewKey view { pane.TextSerial(), first, last, pane.Line(last - 1).size() };
    if (m_viewLaidOut && view == m_view) {
        return;
    }
    // Rows that stay in view keep their measures: during a run the view moves a few rows a frame.
    const bool sameText = m_viewLaidOut && m_view.serial == view.serial;
    std::vector<std::vector<double>> widths(last - first);
    for (std::size_t line = first; line < last; ++line) {
        std::vector<double> &cells = widths[line - first];
        if (sameText && line >= m_view.first && line + 1 < m_view.last) {
            cells = std::move(m_cellWidths[line - m_view.first]);
        } else {
            MeasureCells(pane, line, cells);
        }
    }
    m_cellWidths = std::move(widths);
    m_view = view;
    m_viewLaidOut = true;
    const std::size_t rows = last - first;
    m_viewStarts.resize(rows);
    std::size_t columns = 0;
    for (std::size_t row = 0; row < rows; ++row) {
        m_viewStarts[row].assign(1, 0.0);
        columns = std::max(columns, m_cellWidths[row].size());
    }
    // Column by column, each run of rows that have a cell there before a TAB: the rows of a run
    // were in one run for every column before, and so start the cell at one x.
    for (std::size_t column = 0; column < columns; ++column) {
        for (std::size_t row = 0; row < rows;) {
            if (m_cellWidths[row].size() <= column) {
                ++row;
                continue;
            }
            double widest = 0.0;
            std::size_t end = row;
            for (; end < rows && m_cellWidths[end].size() > column; ++end) {
                widest = std::max(widest, m_cellWidths[end][column]);
            }
            const double stop = StopAfter(m_viewStarts[row][column] + widest);
            for (; row < end; ++row) {
                m_viewStarts[row].push_back(stop);
            }
        }
    }
}

const std::vector<double> &PaneLayout::CellStarts(const PaneModel &pane, std::size_t line)
{
    LayOutView(pane);
    if (line >= m_view.first && line < m_view.last) {
        return m_viewStarts[line - m_view.first];
    }
    std::vector<double> widths;
    MeasureCells(pane, line, widths);
    m_lineStarts.assign(1, 0.0);
    for (double width : widths) {
        m_lineStarts.push_back(StopAfter(m_lineStarts.back() + width));
    }
    return m_lineStarts;
}

double PaneLayout::Width(const PaneModel &pane, std::size_t line)
{
    const std::string_view text = pane.Line(line);
    const double lastStart = CellStarts(pane, line).back();
    if (text.size() > kLongLine) {
        return lastStart + Marks(pane, line).lastCellWidth;
    }
    const std::string_view lastCell = text.substr(text.rfind('\t') + 1);
    return lastStart + (lastCell.empty() ? 0.0 : m_width(lastCell));
}

double PaneLayout::XOf(const PaneModel &pane, std::size_t line, std::size_t column)
{
    const Piece piece = PieceAround(pane, line, column);
    const std::string_view text = pane.Line(line).substr(piece.begin, piece.end - piece.begin);
    const std::string_view before
        = text.substr(0, ByteOfColumn(text, column - std::min(column, piece.column)));
    const std::size_t tab = before.rfind('\t');
    if (tab == std::string_view::npos) {
        return piece.x + m_width(before);
    }
    // The cell the column is in starts at the stop of the piece's last TAB before it.
    const std::vector<double> &starts = CellStarts(pane, line);
    const auto tabs = static_cast<std::size_t>(std::count(before.begin(), before.end(), '\t'));
    const auto firstAfter = static_cast<std::size_t>(
        std::upper_bound(starts.begin(), starts.end(), piece.x) - starts.begin());
    return starts.at(firstAfter + tabs - 1) + m_width(before.substr(tab + 1));
}

PaneLayout::Piece PaneLayout::PieceAt(
    const PaneModel &pane, std::size_t line, double left, double right)
{
    const std::size_t size = pane.Line(line).size();
    if (size <= kLongLine) {
        return { 0, size, 0, 0.0 };
    }
    const std::vector<double> &starts = CellStarts(pane, line);
    const std::vector<Mark> &marks = Marks(pane, line).marks;
    const auto x = [&starts](const Mark &mark) { return starts[mark.cell] + mark.x; };
    // The marks lie in the order of their x: a cell starts past the end of the one before.
    const auto after = [&](double edge) {
        return static_cast<std::size_t>(std::partition_point(marks.begin(), marks.end(),
                                            [&](const Mark &mark) { return x(mark) <= edge; })
            - marks.begin());
    };
    const std::size_t first = std::max<std::size_t>(after(left), 1) - 1;
    const std::size_t end = std::max(after(right), first + 1);
    const Mark &start = marks[first];
    return { start.byte, end < marks.size() ? marks[end].byte : size, start.column, x(start) };
}

PaneLayout::Piece PaneLayout::PieceAround(
    const PaneModel &pane, std::size_t line, std::size_t column)
{
    const std::size_t size = pane.Line(line).size();
    if (size <= kLongLine) {
        return { 0, size, 0, 0.0 };
    }
    const std::vector<double> &starts = CellStarts(pane, line);
    const std::vector<Mark> &marks = Marks(pane, line).marks;
    const auto first
        = static_cast<std::size_t>(std::partition_point(marks.begin() + 1, marks.end(),
                                       [column](const Mark &mark) { return mark.column <= column; })
            - marks.begin() - 1);
    const Mark &start = marks[first];
    return { start.byte, first + 1 < marks.size() ? marks[first + 1].byte : size, start.column,
        starts[start.cell] + start.x };
}

} // namespace form
