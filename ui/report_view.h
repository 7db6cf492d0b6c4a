// SPDX-License-Identifier: MIT
// The result pane on the desktop: a read-only view of the pane's model, which holds the report
// (it may run to a million lines), the selection and where the view stands. The view lays out
// only the lines on screen, and of a long line only the piece on screen, each cell where the
// pane's layout puts it, turns mouse and keys into the model's gestures, and does what only the
// desktop does: scroll bars, the clipboard, the X11
// primary selection (a middle click pastes what is selected), dragging the selection out, and
// telling assistive technology what changed.
#pragma once

#include "form/pane_input.h"
#include "form/pane_layout.h"
#include "form/pane_model.h"

#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QPointer>

#include <cstdint>
#include <optional>
#include <string_view>
#include <utility>

namespace ui {

class ReportView : public QAbstractScrollArea {
    Q_OBJECT

public:
    using Position = form::PanePosition;

    ReportView(form::PaneModel &model, QWidget *parent = nullptr);

    // Brings scroll bars and screen up to date with the model: a new text, new lines, the view
    // moved.
    void Sync();
    // Takes the text of the selection offered to other programs now, before the model's text is
    // replaced.
    void KeepOfferedSelection();

    void SetTabStopDistance(qreal pixels);
    qsizetype LineCount() const { return static_cast<qsizetype>(m_model.LineCount()); }
    // A line as shown: without its line end.
    QString Line(qsizetype line) const;
    bool HasSelection() const { return m_model.HasSelection(); }
    // The selected text with LF line ends, as it goes to the clipboard.
    QString SelectedText() const;
    QString TextBetween(Position from, Position to) const;
    void SelectAll();
    void Copy() const;

    // The text as assistive technology reads it: the lines as shown, joined by LF, counted in
    // UTF-16 units.
    qsizetype CharacterCount() const { return static_cast<qsizetype>(m_model.CharacterCount()); }
    qsizetype OffsetOf(Position position) const;
    Position PositionOf(qsizetype offset) const;
    QString Characters(qsizetype from, qsizetype to) const;
    qsizetype LineLength(qsizetype line) const;

    Position Cursor() const { return m_model.Caret(); }
    Position Anchor() const { return m_model.Anchor(); }
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
    struct LaidOutLine;

    std::string_view LineBytes(qsizetype line) const
    {
        return m_model.Line(static_cast<std::size_t>(line));
    }
    LaidOutLine LayOut(qsizetype line, const form::PaneLayout::Piece &piece) const;
    // The piece of the line from x `left` to `right` in the line, or around a column.
    LaidOutLine LayOutAt(qsizetype line, qreal left, qreal right) const;
    LaidOutLine LayOutAround(qsizetype line, std::size_t column) const;
    void UpdateLayoutFont();
    int LineHeight() const;
    void UpdateScrollBars();
    void MeasureLines(qsizetype first, qsizetype last);
    // Runs a change of the model's selection, then redraws and tells assistive technology.
    template <typename Change> void ChangeSelection(Change change);
    void AnnounceText();
    void AnnounceCaret(bool hadSelection);
    // A press of the left button that makes at least `leastClicks` clicks.
    void Press(const QMouseEvent &event, int leastClicks);
    void ExtendTo(QPoint point);
    std::optional<form::AutoScroll> AutoScrollAt(QPoint point) const;
    bool OnSelectedText(QPoint point) const;
    void DragOut();
    void OfferPrimarySelection();

    form::PaneModel &m_model;
    // Where the cells go, in the view's font; it keeps what it measured.
    mutable form::PaneLayout m_layout;
    std::uint64_t m_serial = 0; // the model's text this view has shown
    qsizetype m_measuredLines = 0; // lines measured for the horizontal scroll bar
    qreal m_widestLine = 0;
    qreal m_tabStop = 48;
    bool m_settingScrollBars = false;
    // How many characters assistive technology was last told of; none while none listens.
    std::optional<qsizetype> m_announcedCount;

    // A press on the selection, which becomes a drag of it or, released, a click.
    std::optional<QPoint> m_pressOnSelection;
    // The last press, which the next one close by in time and place makes a double or triple.
    form::Click m_click;
    // While the mouse is held past an edge, the view scrolls towards it on this timer.
    QBasicTimer m_autoScroll;
    QPoint m_dragPoint;
    // The selection the primary selection offers, until something else takes that place.
    QPointer<SelectionData> m_primary;
};

} // namespace ui
