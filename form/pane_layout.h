// SPDX-License-Identifier: MIT
// Where the pane's text goes across the screen, for every front-end: where each cell of a line
// starts, so that the cells of a column line up in the rows in view and never touch, and which
// piece of a line too long to lay out whole is in view. A front-end measures text in its font,
// lays out and draws the piece this gives it, at the x this gives it.
#pragma once

#include "form/pane_model.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>
#include <utility>
#include <vector>

namespace form {

class PaneLayout {
public:
    // How wide UTF-8 text is in the pane's font, in pixels.
    using Measure = std::function<double(std::string_view)>;

    // A line of more bytes than this is laid out a piece at a time: only what is in view.
    static constexpr std::size_t kLongLine = 4096;

    // A piece of a line: its bytes from `begin` to `end`, the column (UTF-16 units) at `begin`,
    // and where it starts, in pixels from the line's start. A short line is one piece.
    struct Piece {
        std::size_t begin = 0;
        std::size_t end = 0;
        std::size_t column = 0;
        double x = 0.0;
    };

    // The pane's font: its tab stops `tabStop` pixels apart, and how wide its text is. Forgets
    // everything laid out in the font before.
    void SetFont(double tabStop, Measure width);

    // Where each cell of the line (the text before, between and after its TABs) starts, in
    // pixels from the line's start: at a tab stop that leaves at least a space's width after the
    // cell before it. The rows in view (the model's view and a line either side, which a view
    // may show in part) share their columns' stops: a column is a run of neighbouring rows that
    // each have a cell there followed by a TAB, and its stop leaves the space after the widest
    // of them (elastic tab stops). The stops change only when the rows in view do. Stays valid
    // until the next call.
    const std::vector<double> &CellStarts(const PaneModel &pane, std::size_t line);

    // How wide the whole line is drawn, and where a column of it starts.
    double Width(const PaneModel &pane, std::size_t line);
    double XOf(const PaneModel &pane, std::size_t line, std::size_t column);

    // The piece of the line that covers x from `left` to `right`, and the piece that holds the
    // column and the character after it.
    Piece PieceAt(const PaneModel &pane, std::size_t line, double left, double right);
    Piece PieceAround(const PaneModel &pane, std::size_t line, std::size_t column);

private:
    // A place in a long line, every so many characters and at the start of every cell: its byte,
    // column and cell, and its x from the cell's start.
    struct Mark {
        std::size_t byte = 0;
        std::size_t column = 0;
        std::size_t cell = 0;
        double x = 0.0;
    };
    struct LongLine {
        std::uint64_t serial = 0;
        std::size_t line = 0;
        std::size_t size = 0;
        std::vector<Mark> marks;
        std::vector<double> cellWidths; // of the cells before a TAB
        double lastCellWidth = 0.0;
    };

    void LayOutView(const PaneModel &pane);
    // The widths of the line's cells that a TAB ends.
    void MeasureCells(const PaneModel &pane, std::size_t line, std::vector<double> &widths);
    const LongLine &Marks(const PaneModel &pane, std::size_t line);
    double CharacterWidth(std::string_view character);
    double StopAfter(double end) const;

    double m_tabStop = 48.0;
    Measure m_width;
    double m_space = 0.0;

    // The rows in view as last laid out, and what they were laid out for.
    struct ViewKey {
        std::uint64_t serial = 0;
        std::size_t first = 0;
        std::size_t last = 0;
        std::size_t lastSize = 0; // of the last row, which may still grow
        friend bool operator==(const ViewKey &, const ViewKey &) = default;
    };
    ViewKey m_view;
    bool m_viewLaidOut = false;
    std::vector<std::vector<double>> m_viewStarts; // from m_view.first
    std::vector<double> m_lineStarts; // of a line out of view
    std::vector<std::vector<double>> m_cellWidths; // scratch, per row in view

    // The long lines laid out lately; few reports have more than their header.
    std::array<LongLine, 8> m_longLines;
    std::size_t m_nextLongLine = 0;
    // The width of each character measured so far (below 0: not yet), by its UTF-8 bytes.
    std::array<double, 128> m_asciiWidths {};
    std::vector<std::pair<std::uint32_t, double>> m_otherWidths; // in the order of their keys
};

} // namespace form
