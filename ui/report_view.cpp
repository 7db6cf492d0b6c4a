// SPDX-License-Identifier: MIT
#include "ui/report_view.h"

#include "ui/qt_text.h"
#include "ui/report_view_accessible.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDrag>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTextLayout>
#include <QTextOption>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <vector>

namespace ui {
namespace {

constexpr int kMargin = 4;
// After an append, this many new lines are measured for the horizontal scroll bar; the rows of
// one report are all alike, and lines drawn later widen the range if need be.
constexpr qsizetype kLinesMeasuredPerSync = 16;
constexpr int kHorizontalStep = 20;
// Assistive technology is told what text came or went, and the text goes with the news over
// D-Bus, in one message; a larger change is not announced, and is read on demand instead.
constexpr qsizetype kLargestAnnouncedChange = qsizetype { 1 } << 20;
constexpr QLatin1String kPlainText("text/plain");

// The pane's moves, by Qt's standard keys, which follow the platform's bindings: the key that
// moves the caret, and the one that extends the selection.
struct StandardMove {
    QKeySequence::StandardKey move;
    QKeySequence::StandardKey select;
    form::PaneKey key;
};
using Q = QKeySequence;
using K = form::PaneKey;
constexpr std::array kStandardMoves = {
    StandardMove { Q::MoveToPreviousChar, Q::SelectPreviousChar, K::Left },
    StandardMove { Q::MoveToNextChar, Q::SelectNextChar, K::Right },
    StandardMove { Q::MoveToPreviousWord, Q::SelectPreviousWord, K::WordLeft },
    StandardMove { Q::MoveToNextWord, Q::SelectNextWord, K::WordRight },
    StandardMove { Q::MoveToPreviousLine, Q::SelectPreviousLine, K::Up },
    StandardMove { Q::MoveToNextLine, Q::SelectNextLine, K::Down },
    StandardMove { Q::MoveToPreviousPage, Q::SelectPreviousPage, K::PageUp },
    StandardMove { Q::MoveToNextPage, Q::SelectNextPage, K::PageDown },
    StandardMove { Q::MoveToStartOfLine, Q::SelectStartOfLine, K::LineStart },
    StandardMove { Q::MoveToEndOfLine, Q::SelectEndOfLine, K::LineEnd },
    StandardMove { Q::MoveToStartOfDocument, Q::SelectStartOfDocument, K::TextStart },
    StandardMove { Q::MoveToEndOfDocument, Q::SelectEndOfDocument, K::TextEnd },
};

int ToInt(std::size_t value)
{
    return static_cast<int>(std::min<std::size_t>(value, std::numeric_limits<int>::max()));
}

} // namespace

// A piece of a line (the whole of a short one) laid out for drawing, measuring and hit testing,
// its cells at the pane's stops.
struct ReportView::LaidOutLine {
    QTextLayout layout;
    QTextLine line;
    form::PaneLayout::Piece piece;

    LaidOutLine(const QString &text, const QFont &font, const QTextOption &option,
        const form::PaneLayout::Piece &laidOut)
        : layout(text, font)
        , piece(laidOut)
    {
        layout.setTextOption(option);
        layout.beginLayout();
        line = layout.createLine();
        layout.endLayout();
    }

    // The place in the piece of a column of the line, the nearest end of the piece for one
    // outside it.
    int CursorOf(std::size_t column) const
    {
        const qsizetype length = layout.text().size();
        return column < piece.column
            ? 0
            : static_cast<int>(std::min(column - piece.column, static_cast<std::size_t>(length)));
    }
    // Where a column is drawn, from the line's start.
    qreal XOf(std::size_t column) const { return piece.x + line.cursorToX(CursorOf(column)); }
    std::size_t ColumnAt(qreal x) const
    {
        return piece.column + static_cast<std::size_t>(line.xToCursor(x - piece.x));
    }
};

// The selection as another program takes it, by a middle click or a drop: its text is made only
// when asked for, so that selecting the whole of a million-row report costs nothing until then.
class ReportView::SelectionData : public QMimeData {
public:
    SelectionData(const ReportView &view, Position from, Position to)
        : m_view(&view)
        , m_from(from)
        , m_to(to)
    {
    }
    // Takes the text now, before the view's text changes.
    void Keep() const
    {
        if (!m_text && m_view) {
            m_text = m_view->TextBetween(m_from, m_to);
        }
    }
    QStringList formats() const override { return { QString(kPlainText) }; }

protected:
    QVariant retrieveData(const QString &mimeType, QMetaType /*type*/) const override
    {
        if (mimeType != kPlainText) {
            return {};
        }
        Keep();
        return m_text.value_or(QString());
    }

private:
    QPointer<const ReportView> m_view;
    Position m_from;
    Position m_to;
    mutable std::optional<QString> m_text;
};

ReportView::ReportView(form::PaneModel &model, QWidget *parent)
    : QAbstractScrollArea(parent)
    , m_model(model)
{
    // Before anything asks for the view's interface, which Qt keeps once made.
    QAccessible::installFactory(ReportViewAccessibleFactory);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    UpdateLayoutFont();
    verticalScrollBar()->setSingleStep(1);
    horizontalScrollBar()->setSingleStep(kHorizontalStep);
    // Where the user scrolls to, the view stays, whatever rows arrive.
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int top) {
        if (!m_settingScrollBars) {
            m_model.ScrollTo(static_cast<std::size_t>(std::max(top, 0)));
        }
    });
    Sync();
}

void ReportView::Sync()
{
    if (m_serial != m_model.TextSerial()) {
        m_serial = m_model.TextSerial();
        m_widestLine = 0;
        m_measuredLines = 0;
        if (QAccessible::isActive()) {
            // Qt's own text widgets announce the removed text as blanks of its length too.
            if (m_announcedCount > 0 && m_announcedCount <= kLargestAnnouncedChange) {
                QAccessibleTextRemoveEvent removed(this, 0, QString(*m_announcedCount, u' '));
                QAccessible::updateAccessibility(&removed);
            }
            m_announcedCount = 0;
            AnnounceCaret(false);
        }
    }
    const qsizetype lines = LineCount();
    if (lines == m_measuredLines
        && static_cast<int>(m_model.Top()) == verticalScrollBar()->value()) {
        return; // nothing new to show: a run appends whole lines
    }
    if (lines != m_measuredLines) {
        const qsizetype firstNew = std::max<qsizetype>(m_measuredLines - 1, 0);
        MeasureLines(firstNew, std::min(lines, firstNew + kLinesMeasuredPerSync));
        MeasureLines(lines - 1, lines);
        m_measuredLines = lines;
    }
    UpdateScrollBars();
    viewport()->update();
    AnnounceText();
}

void ReportView::KeepOfferedSelection()
{
    if (m_primary) {
        m_primary->Keep();
    }
}

// Tells assistive technology what text has come since it was last told, once per Sync rather
// than once per append.
void ReportView::AnnounceText()
{
    if (!QAccessible::isActive()) {
        m_announcedCount.reset();
        return;
    }
    const qsizetype count = CharacterCount();
    if (m_announcedCount && count > *m_announcedCount
        && count - *m_announcedCount <= kLargestAnnouncedChange) {
        QAccessibleTextInsertEvent inserted(
            this, static_cast<int>(*m_announcedCount), Characters(*m_announcedCount, count));
        QAccessible::updateAccessibility(&inserted);
    }
    m_announcedCount = count;
}

void ReportView::AnnounceCaret(bool hadSelection)
{
    if (!QAccessible::isActive()) {
        return;
    }
    const auto [from, to] = m_model.Selection();
    if (hadSelection || HasSelection()) {
        QAccessibleTextSelectionEvent selection(
            this, static_cast<int>(OffsetOf(from)), static_cast<int>(OffsetOf(to)));
        QAccessible::updateAccessibility(&selection);
    }
    QAccessibleTextCursorEvent caret(this, static_cast<int>(OffsetOf(Cursor())));
    QAccessible::updateAccessibility(&caret);
}

template <typename Change> void ReportView::ChangeSelection(Change change)
{
    const bool hadSelection = HasSelection();
    const std::pair before { Anchor(), Cursor() };
    change();
    viewport()->update();
    if (before != std::pair { Anchor(), Cursor() }) {
        AnnounceCaret(hadSelection);
    }
}

void ReportView::SetTabStopDistance(qreal pixels)
{
    m_tabStop = pixels;
    m_widestLine = 0;
    UpdateLayoutFont();
    viewport()->update();
}

void ReportView::UpdateLayoutFont()
{
    m_layout.SetFont(m_tabStop, [metrics = QFontMetricsF(font())](std::string_view text) {
        return metrics.horizontalAdvance(ToQString(text));
    });
}

QString ReportView::Line(qsizetype line) const
{
    return ToQString(LineBytes(line));
}

ReportView::LaidOutLine ReportView::LayOut(
    qsizetype line, const form::PaneLayout::Piece &piece) const
{
    const std::string_view bytes = LineBytes(line).substr(piece.begin, piece.end - piece.begin);
    QList<QTextOption::Tab> tabs;
    for (double start : m_layout.CellStarts(m_model, static_cast<std::size_t>(line))) {
        if (start > piece.x) {
            tabs.append(QTextOption::Tab(start - piece.x, QTextOption::LeftTab));
        }
    }
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    option.setTabs(tabs);
    return { ToQString(bytes), font(), option, piece };
}

ReportView::LaidOutLine ReportView::LayOutAt(qsizetype line, qreal left, qreal right) const
{
    return LayOut(line, m_layout.PieceAt(m_model, static_cast<std::size_t>(line), left, right));
}

ReportView::LaidOutLine ReportView::LayOutAround(qsizetype line, std::size_t column) const
{
    return LayOut(line, m_layout.PieceAround(m_model, static_cast<std::size_t>(line), column));
}

void ReportView::MeasureLines(qsizetype first, qsizetype last)
{
    for (qsizetype line = std::max<qsizetype>(first, 0); line < last; ++line) {
        m_widestLine
            = std::max(m_widestLine, m_layout.Width(m_model, static_cast<std::size_t>(line)));
    }
}

int ReportView::LineHeight() const
{
    return std::max(fontMetrics().lineSpacing(), 1);
}

void ReportView::UpdateScrollBars()
{
    m_settingScrollBars = true;
    QScrollBar *vertical = verticalScrollBar();
    vertical->setRange(0, ToInt(m_model.LastTop()));
    vertical->setPageStep(ToInt(m_model.VisibleLines()));
    vertical->setValue(ToInt(m_model.Top()));
    const int width = static_cast<int>(std::ceil(m_widestLine)) + 2 * kMargin;
    horizontalScrollBar()->setRange(0, std::max(width - viewport()->width(), 0));
    horizontalScrollBar()->setPageStep(viewport()->width());
    m_settingScrollBars = false;
}

void ReportView::paintEvent(QPaintEvent * /*event*/)
{
    QPainter painter(viewport());
    const int height = LineHeight();
    const qreal scrolled = horizontalScrollBar()->value();
    const qreal x = kMargin - scrolled;
    const auto [from, to] = m_model.Selection();
    const qreal widestBefore = m_widestLine;
    int y = 0;
    for (auto line = static_cast<qsizetype>(m_model.Top());
         line < LineCount() && y < viewport()->height(); ++line, y += height) {
        LaidOutLine laidOut = LayOutAt(line, scrolled - kMargin, scrolled + viewport()->width());
        const auto shownLine = static_cast<std::size_t>(line);
        const qsizetype length = laidOut.layout.text().size();
        const QPointF origin(x + laidOut.piece.x, y);
        const bool toLineEnd = laidOut.piece.end == LineBytes(line).size();
        QList<QTextLayout::FormatRange> selection;
        if (from != to && shownLine >= from.line && shownLine <= to.line) {
            QTextLayout::FormatRange range;
            range.start = shownLine == from.line ? laidOut.CursorOf(from.column) : 0;
            range.length
                = (shownLine == to.line ? laidOut.CursorOf(to.column) : static_cast<int>(length))
                - range.start;
            range.format.setBackground(palette().highlight());
            range.format.setForeground(palette().highlightedText());
            selection.append(range);
        }
        laidOut.layout.draw(&painter, origin, selection);
        if (from != to && shownLine >= from.line && shownLine < to.line && toLineEnd) {
            // The line end is selected too, as a space's width, so that empty lines show.
            const qreal end = origin.x() + laidOut.line.naturalTextWidth();
            painter.fillRect(
                QRectF(end, y, fontMetrics().horizontalAdvance(QLatin1Char(' ')), height),
                palette().highlight());
        }
        if (hasFocus() && shownLine == Cursor().line) {
            laidOut.layout.drawCursor(&painter, origin, laidOut.CursorOf(Cursor().column));
        }
        m_widestLine = std::max(m_widestLine,
            toLineEnd ? laidOut.piece.x + laidOut.line.naturalTextWidth()
                      : m_layout.Width(m_model, shownLine));
    }
    if (m_widestLine > widestBefore) {
        UpdateScrollBars();
    }
}

void ReportView::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    m_model.SetVisibleLines(
        static_cast<std::size_t>(std::max(viewport()->height() / LineHeight(), 1)));
    UpdateScrollBars();
}

void ReportView::changeEvent(QEvent *event)
{
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        UpdateLayoutFont();
        m_widestLine = 0;
        MeasureLines(0, std::min(LineCount(), kLinesMeasuredPerSync));
        m_model.SetVisibleLines(
            static_cast<std::size_t>(std::max(viewport()->height() / LineHeight(), 1)));
        UpdateScrollBars();
    }
}

ReportView::Position ReportView::PositionAt(QPoint point) const
{
    const qsizetype line = static_cast<qsizetype>(m_model.Top())
        + static_cast<qsizetype>(std::floor(static_cast<double>(point.y()) / LineHeight()));
    if (line < 0) {
        return {};
    }
    if (line >= LineCount()) {
        const auto last = static_cast<std::size_t>(LineCount() - 1);
        return { last, m_model.LineLength(last) };
    }
    const qreal x = point.x() - kMargin + horizontalScrollBar()->value();
    return { static_cast<std::size_t>(line), LayOutAt(line, x, x).ColumnAt(x) };
}

qsizetype ReportView::LineLength(qsizetype line) const
{
    return static_cast<qsizetype>(m_model.LineLength(static_cast<std::size_t>(line)));
}

qsizetype ReportView::OffsetOf(Position position) const
{
    return static_cast<qsizetype>(m_model.OffsetOf(position));
}

ReportView::Position ReportView::PositionOf(qsizetype offset) const
{
    return m_model.PositionOf(static_cast<std::size_t>(std::max<qsizetype>(offset, 0)));
}

QString ReportView::Characters(qsizetype from, qsizetype to) const
{
    return TextBetween(PositionOf(from), PositionOf(to));
}

QRect ReportView::CharacterRect(Position position) const
{
    const auto line = static_cast<qsizetype>(position.line);
    const LaidOutLine laidOut = LayOutAround(line, position.column);
    const qreal x = kMargin - horizontalScrollBar()->value();
    const qreal left = x + laidOut.XOf(position.column);
    const qreal right = x + laidOut.XOf(position.column + 1);
    const qreal top
        = static_cast<qreal>(line - static_cast<qsizetype>(m_model.Top())) * LineHeight();
    return QRectF(QPointF(left, top), QPointF(right, top + LineHeight())).toAlignedRect();
}

void ReportView::Select(Position anchor, Position cursor)
{
    ChangeSelection([&] { m_model.Select(anchor, cursor); });
}

void ReportView::EnsureVisible(Position position)
{
    m_model.ScrollToShow(position);
    const qreal x
        = LayOutAround(static_cast<qsizetype>(position.line), position.column).XOf(position.column);
    m_widestLine = std::max(m_widestLine, m_layout.Width(m_model, position.line));
    UpdateScrollBars();
    QScrollBar *horizontal = horizontalScrollBar();
    horizontal->setValue(static_cast<int>(
        form::ScrollToReveal(x + kMargin, horizontal->value(), viewport()->width(), kMargin)));
}

QString ReportView::SelectedText() const
{
    return ToQString(m_model.SelectedText());
}

QString ReportView::TextBetween(Position from, Position to) const
{
    return ToQString(m_model.TextBetween(from, to));
}

void ReportView::SelectAll()
{
    ChangeSelection([this] { m_model.SelectAll(); });
    OfferPrimarySelection();
}

// As every X11 program does with what the user selects: a middle click pastes it elsewhere.
void ReportView::OfferPrimarySelection()
{
    QClipboard *clipboard = QApplication::clipboard();
    if (!HasSelection() || !clipboard->supportsSelection()) {
        return;
    }
    const auto [from, to] = m_model.Selection();
    auto *offer = new SelectionData(*this, from, to);
    clipboard->setMimeData(offer, QClipboard::Selection);
    m_primary = offer;
}

void ReportView::Copy() const
{
    if (HasSelection()) {
        QApplication::clipboard()->setText(SelectedText());
    }
}

void ReportView::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Copy)) {
        Copy();
        return;
    }
    if (event->matches(QKeySequence::SelectAll)) {
        SelectAll();
        return;
    }
    for (const StandardMove &standard : kStandardMoves) {
        const bool extend = event->matches(standard.select);
        if (extend || event->matches(standard.move)) {
            ChangeSelection([&] { m_model.Key(standard.key, extend); });
            EnsureVisible(Cursor());
            if (extend) {
                OfferPrimarySelection();
            }
            return;
        }
    }
    QAbstractScrollArea::keyPressEvent(event);
}

void ReportView::mousePressEvent(QMouseEvent *event)
{
    Press(*event, 1);
}

void ReportView::Press(const QMouseEvent &event, int leastClicks)
{
    if (event.button() != Qt::LeftButton) {
        return;
    }
    const QPoint point = event.position().toPoint();
    const Position at = PositionAt(point);
    const bool extend = (event.modifiers() & Qt::ShiftModifier) != 0;
    m_click = form::NextClick(m_click, point.x(), point.y(), static_cast<double>(event.timestamp()),
        { static_cast<double>(QApplication::doubleClickInterval()),
            static_cast<double>(QApplication::startDragDistance()) });
    m_click.count = std::max(m_click.count, leastClicks);
    if (m_click.count == 1 && !extend && OnSelectedText(point)) {
        m_pressOnSelection = point;
        return;
    }
    ChangeSelection([&] { m_model.Press(at, form::UnitOf(m_click.count), extend); });
}

void ReportView::mouseMoveEvent(QMouseEvent *event)
{
    if ((event->buttons() & Qt::LeftButton) == 0) {
        return;
    }
    const QPoint point = event->position().toPoint();
    if (m_pressOnSelection) {
        if ((point - *m_pressOnSelection).manhattanLength() >= QApplication::startDragDistance()) {
            m_pressOnSelection.reset();
            DragOut();
        }
        return;
    }
    if (!m_model.Selecting()) {
        return;
    }
    m_dragPoint = point;
    ExtendTo(point);
    if (const auto scroll = AutoScrollAt(point)) {
        m_autoScroll.start(scroll->interval, this);
    } else {
        m_autoScroll.stop();
    }
}

std::optional<form::AutoScroll> ReportView::AutoScrollAt(QPoint point) const
{
    const QRect area = viewport()->rect();
    return form::AutoScrollFor(
        { static_cast<double>(area.left()), static_cast<double>(area.top()),
            static_cast<double>(area.right()), static_cast<double>(area.bottom()) },
        point.x(), point.y());
}

void ReportView::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mouseReleaseEvent(event);
        return;
    }
    m_autoScroll.stop();
    if (m_pressOnSelection) {
        // A click on the selection that dragged nothing: the caret goes there, as anywhere.
        m_pressOnSelection.reset();
        const Position at = PositionAt(event->position().toPoint());
        ChangeSelection([&] { m_model.Press(at, form::PaneUnit::Character, false); });
    }
    if (m_model.Selecting()) {
        m_model.Release();
        OfferPrimarySelection();
    }
}

// The second press of a double-click, as the platform counts it.
void ReportView::mouseDoubleClickEvent(QMouseEvent *event)
{
    Press(*event, 2);
}

// Moves the selection's end to the point, or to the nearest place on screen when the point is
// past an edge.
void ReportView::ExtendTo(QPoint point)
{
    const int bottom = std::max(static_cast<int>(m_model.VisibleLines()) * LineHeight(), 1) - 1;
    const Position at = PositionAt(QPoint(
        std::clamp(point.x(), 0, viewport()->width() - 1), std::clamp(point.y(), 0, bottom)));
    ChangeSelection([&] { m_model.DragTo(at); });
    EnsureVisible(Cursor());
}

void ReportView::timerEvent(QTimerEvent *event)
{
    if (event->timerId() != m_autoScroll.timerId()) {
        QAbstractScrollArea::timerEvent(event);
        return;
    }
    if (const auto scroll = AutoScrollAt(m_dragPoint)) {
        const auto step = [](QScrollBar *bar, int direction) {
            if (direction != 0) {
                bar->triggerAction(direction < 0 ? QAbstractSlider::SliderSingleStepSub
                                                 : QAbstractSlider::SliderSingleStepAdd);
            }
        };
        step(verticalScrollBar(), scroll->down);
        step(horizontalScrollBar(), scroll->across);
    }
    ExtendTo(m_dragPoint);
}

// Whether the point is on a selected character: not in the margin, nor past a line's end, nor
// below the last line, where a press starts a new selection instead of a drag.
bool ReportView::OnSelectedText(QPoint point) const
{
    if (!HasSelection()) {
        return false;
    }
    const Position at = PositionAt(point);
    const auto [from, to] = m_model.Selection();
    const QRect first = CharacterRect({ at.line, 0 });
    const QRect last = CharacterRect({ at.line, std::numeric_limits<std::size_t>::max() });
    return !(at < from) && !(to < at) && point.x() >= first.left() && point.x() < last.left()
        && point.y() >= first.top() && point.y() <= first.bottom();
}

void ReportView::DragOut()
{
    const auto [from, to] = m_model.Selection();
    auto *drag = new QDrag(this);
    drag->setMimeData(new SelectionData(*this, from, to));
    drag->exec(Qt::CopyAction);
}

void ReportView::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu menu(this);
    QAction *copy = menu.addAction(tr("&Copy"), this, &ReportView::Copy);
    copy->setShortcut(QKeySequence::Copy);
    copy->setEnabled(HasSelection());
    menu.addSeparator();
    QAction *selectAll = menu.addAction(tr("Select All"), this, &ReportView::SelectAll);
    selectAll->setShortcut(QKeySequence::SelectAll);
    menu.exec(event->globalPos());
}

QVariant ReportView::inputMethodQuery(Qt::InputMethodQuery query) const
{
    if (query == Qt::ImCursorRectangle) {
        QRect caret = CharacterRect(Cursor());
        caret.setWidth(1);
        if (viewport()->rect().intersects(caret)) {
            return caret.translated(viewport()->pos());
        }
    }
    return QAbstractScrollArea::inputMethodQuery(query);
}

void ReportView::focusInEvent(QFocusEvent *event)
{
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
}

void ReportView::focusOutEvent(QFocusEvent *event)
{
    QAbstractScrollArea::focusOutEvent(event);
    viewport()->update();
}

} // namespace ui
