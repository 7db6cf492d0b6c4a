// SPDX-License-Identifier: MIT
// The result pane: a read-only view of a report that may run to a million lines. It keeps the
// report's exact text (CR LF line ends) in blocks of about a megabyte, so that it never moves
// what it already holds, with an index of where each line starts, and lays out only the lines on
// screen: appending a line costs its length and nothing more. The user selects as in any text
// pane: drag, double-click for a word and triple-click for a line (a drag after either extends by
// words or lines), shift-click, a drag held past an edge scrolls on, or the keyboard; copies with
// Ctrl+C or the context menu, drags the selection out, or pastes it elsewhere with a middle click
// (the X11 primary selection).
#pragma once

#include "form/pane_text.h"
#include "ui/large_page_allocator.h"

#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QPointer>
#include <QTextOption>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace ui {

class ReportView : public QAbstractScrollArea {
    Q_OBJECT

public:
    // A place in the text: a line and a UTF-16 column within the line as shown.
    struct Position {
        qsizetype line = 0;
        qsizetype column = 0;
        friend bool operator==(const Position &, const Position &) = default;
        friend bool operator<(const Position &a, const Position &b)
        {
            return a.line != b.line ? a.line < b.line : a.column < b.column;
        }
    };

    explicit ReportView(QWidget *parent = nullptr);

    // The whole text, exactly as set and appended.
    std::string Text() const;
    std::size_t TextSize() const { return m_text.Size(); }
    // Replaces the text. The memory of the text before is kept for the new one to grow into,
    // until ReleaseSpareMemory: a run that lists a million rows again takes no new memory.
    void SetText(std::string_view text);
    void ReleaseSpareMemory();
    // Adds text at the end; the screen catches up at the next Sync.
    void Append(std::string_view text);
    // Brings scroll bars and screen up to date with the text, following its end after appends.
    void Sync();

    void SetTabStopDistance(qreal pixels);
    qsizetype LineCount() const { return static_cast<qsizetype>(m_text.LineCount()); }
    // A line as shown: without its line end.
    QString Line(qsizetype line) const;
    bool HasSelection() const { return m_anchor != m_cursor; }
    // The selected text with LF line ends, as it goes to the clipboard.
    QString SelectedText() const;
    QString TextBetween(Position from, Position to) const;
    void SelectAll();
    void Copy() const;

    // The text as assistive technology reads it: the lines as shown, joined by LF, counted in
    // UTF-16 units. The offsets come from a mark every few dozen lines, so that a query costs
    // a few lines however long the report, once the lines before it have been counted.
    qsizetype CharacterCount() const;
    qsizetype OffsetOf(Position position) const;
    Position PositionOf(qsizetype offset) const;
    QString Characters(qsizetype from, qsizetype to) const;
    qsizetype LineLength(qsizetype line) const;

    Position Cursor() const { return m_cursor; }
    Position Anchor() const { return m_anchor; }
    void Select(Position anchor, Position cursor);
    void EnsureVisible(Position position);
    // Where a character is drawn, and which is drawn at a point, in the viewport's coordinates.
    QRect CharacterRect(Position position) const;
    Position PositionAt(QPoint point) const;
    // Where the caret is, for a context menu opened from the keyboard.
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void timerEvent(QTimerEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    class SelectionData;
    // What a drag extends the selection by: after a double-click, words; after a triple, lines.
    enum class Unit : std::uint8_t { Character, Word, Line };

    std::string_view LineBytes(qsizetype line) const
    {
        return m_text.Line(static_cast<std::size_t>(line));
    }
    int LineHeight() const;
    int VisibleLines() const;
    void UpdateScrollBars();
    void MeasureLines(qsizetype first, qsizetype last);
    Position Clamped(Position position) const;
    void MoveCursor(Position to, bool extend);
    qsizetype LineOffset(qsizetype line) const;
    void AnnounceText();
    void AnnounceCaret(bool hadSelection);
    std::pair<Position, Position> UnitAround(Position position, Unit unit) const;
    void StartSelecting(Position anchor, Position cursor, Unit unit);
    void ExtendTo(QPoint point);
    void ScrollTowards(QPoint point);
    bool OnSelectedText(QPoint point) const;
    void DragOut();
    void OfferPrimarySelection();

    form::PaneText<LargePageAllocator> m_text;
    qsizetype m_syncedLines = 1; // lines the scroll bars knew of at the last Sync
    qreal m_widestLine = 0;
    QTextOption m_textOption;
    Position m_anchor;
    Position m_cursor;
    // The offset of every kLinesPerOffsetMark-th line, as far as they have been asked for.
    mutable std::vector<qsizetype> m_offsetMarks;
    // How many characters assistive technology was last told of; none while none listens.
    std::optional<qsizetype> m_announcedCount;

    // A press of the left button that selects, and what it selected first: the word or line that
    // a drag keeps whole.
    bool m_selecting = false;
    Unit m_unit = Unit::Character;
    Position m_unitStart;
    Position m_unitEnd;
    // A press on the selection, which becomes a drag of it or, released, a click.
    std::optional<QPoint> m_pressOnSelection;
    // The last double-click, which a third click close by in time and place makes a triple.
    struct Click {
        QPoint point;
        std::uint64_t time = 0;
        bool released = false;
    };
    std::optional<Click> m_doubleClick;
    // While the mouse is held past an edge, the view scrolls towards it on this timer.
    QBasicTimer m_autoScroll;
    QPoint m_dragPoint;
    // The selection the primary selection offers, until something else takes that place.
    QPointer<SelectionData> m_primary;
};

} // namespace ui
