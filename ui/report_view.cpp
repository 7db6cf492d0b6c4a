// SPDX-License-Identifier: MIT
#include "ui/report_view.h"

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

#include <algorithm>
#include <cmath>
#include <cstring>

namespace ui {
namespace {

constexpr int kMargin = 4;
// Lines are laid out up to this many characters; a longer one (a page pasted into a box and
// echoed by the header) is cut on screen but copied whole.
constexpr qsizetype kLongestShownLine = 10000;
// After an append, this many new lines are measured for the horizontal scroll bar; the rows of
// one report are all alike, and lines drawn later widen the range if need be.
constexpr qsizetype kLinesMeasuredPerSync = 16;
constexpr int kHorizontalStep = 20;
constexpr qsizetype kLinesPerOffsetMark = 64;
// Assistive technology is told what text came or went, and the text goes with the news over
// D-Bus, in one message; a larger change is not announced, and is read on demand instead.
constexpr qsizetype kLargestAnnouncedChange = qsizetype { 1 } << 20;
// A drag held past an edge scrolls a step each time this runs out: slowly just past the edge,
// faster the farther the mouse is beyond it, as Qt's own text panes do.
constexpr int kAutoScrollPace = 4900; // ms times pixels squared
constexpr int kAutoScrollSlowest = 100; // ms
constexpr int kAutoScrollFastest = 5; // ms
constexpr qsizetype kLineEnd = std::numeric_limits<qsizetype>::max();
constexpr QLatin1String kPlainText("text/plain");

} // namespace

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

ReportView::ReportView(QWidget *parent)
    : QAbstractScrollArea(parent)
{
    // Before anything asks for the view's interface, which Qt keeps once made.
    QAccessible::installFactory(ReportViewAccessibleFactory);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    m_textOption.setWrapMode(QTextOption::NoWrap);
    SetText({});
    verticalScrollBar()->setSingleStep(1);
    horizontalScrollBar()->setSingleStep(kHorizontalStep);
}

void ReportView::SetText(std::string_view text)
{
    if (m_primary) {
        m_primary->Keep();
    }
    m_text.Set(text);
    m_offsetMarks.assign(1, 0);
    const bool hadSelection = HasSelection();
    const bool caretMoves = m_cursor != Position {} || hadSelection;
    m_anchor = m_cursor = {};
    m_widestLine = 0;
    m_syncedLines = 0;
    if (QAccessible::isActive()) {
        // Qt's own text widgets announce the removed text as blanks of its length too.
        if (m_announcedCount > 0 && m_announcedCount <= kLargestAnnouncedChange) {
            QAccessibleTextRemoveEvent removed(this, 0, QString(*m_announcedCount, u' '));
            QAccessible::updateAccessibility(&removed);
        }
        m_announcedCount = 0;
        if (caretMoves) {
            AnnounceCaret(hadSelection);
        }
    }
    Sync();
}

void ReportView::ReleaseSpareMemory()
{
    m_text.ReleaseSpareMemory();
}

void ReportView::Append(std::string_view text)
{
    m_text.Append(text);
}

std::string ReportView::Text() const
{
    return m_text.Text();
}

void ReportView::Sync()
{
    const qsizetype lines = LineCount();
    if (lines == m_syncedLines) {
        return;
    }
    const qsizetype firstNew = std::max<qsizetype>(m_syncedLines - 1, 0);
    MeasureLines(firstNew, std::min(lines, firstNew + kLinesMeasuredPerSync));
    MeasureLines(lines - 1, lines);
    m_syncedLines = lines;
    UpdateScrollBars();
    verticalScrollBar()->setValue(verticalScrollBar()->maximum());
    viewport()->update();
    AnnounceText();
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
    const auto [from, to] = std::minmax(m_anchor, m_cursor);
    if (hadSelection || HasSelection()) {
        QAccessibleTextSelectionEvent selection(
            this, static_cast<int>(OffsetOf(from)), static_cast<int>(OffsetOf(to)));
        QAccessible::updateAccessibility(&selection);
    }
    QAccessibleTextCursorEvent caret(this, static_cast<int>(OffsetOf(m_cursor)));
    QAccessible::updateAccessibility(&caret);
}

void ReportView::SetTabStopDistance(qreal pixels)
{
    m_textOption.setTabStopDistance(pixels);
    m_widestLine = 0;
    viewport()->update();
}

QString ReportView::Line(qsizetype line) const
{
    const std::string_view bytes = LineBytes(line);
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

namespace {

// One line laid out for drawing, measuring and hit testing.
struct LaidOutLine {
    QTextLayout layout;
    QTextLine line;

    LaidOutLine(const QString &text, const QFont &font, const QTextOption &option)
        : layout(text, font)
    {
        layout.setTextOption(option);
        layout.beginLayout();
        line = layout.createLine();
        layout.endLayout();
    }
};

QString Shown(std::string_view bytes)
{
    // Three UTF-8 bytes or more make at most one UTF-16 unit, so this prefix holds every
    // character that is shown.
    const std::string_view prefix
        = bytes.substr(0, static_cast<std::size_t>(kLongestShownLine) * 3);
    QString text = QString::fromUtf8(prefix.data(), static_cast<qsizetype>(prefix.size()));
    if (text.size() > kLongestShownLine) {
        text.truncate(kLongestShownLine);
    }
    return text;
}

} // namespace

void ReportView::MeasureLines(qsizetype first, qsizetype last)
{
    for (qsizetype line = std::max<qsizetype>(first, 0); line < last; ++line) {
        const LaidOutLine laidOut(Shown(LineBytes(line)), font(), m_textOption);
        m_widestLine = std::max(m_widestLine, laidOut.line.naturalTextWidth());
    }
}

int ReportView::LineHeight() const
{
    return std::max(fontMetrics().lineSpacing(), 1);
}

int ReportView::VisibleLines() const
{
    return std::max(viewport()->height() / LineHeight(), 1);
}

void ReportView::UpdateScrollBars()
{
    const qsizetype lines = LineCount();
    verticalScrollBar()->setRange(
        0, static_cast<int>(std::max<qsizetype>(lines - VisibleLines(), 0)));
    verticalScrollBar()->setPageStep(VisibleLines());
    const int width = static_cast<int>(std::ceil(m_widestLine)) + 2 * kMargin;
    horizontalScrollBar()->setRange(0, std::max(width - viewport()->width(), 0));
    horizontalScrollBar()->setPageStep(viewport()->width());
}

void ReportView::paintEvent(QPaintEvent * /*event*/)
{
    QPainter painter(viewport());
    const int height = LineHeight();
    const qreal x = kMargin - horizontalScrollBar()->value();
    const auto [from, to] = std::minmax(m_anchor, m_cursor);
    const qreal widestBefore = m_widestLine;
    int y = 0;
    for (qsizetype line = verticalScrollBar()->value();
         line < LineCount() && y < viewport()->height(); ++line, y += height) {
        const QString text = Shown(LineBytes(line));
        LaidOutLine laidOut(text, font(), m_textOption);
        QList<QTextLayout::FormatRange> selection;
        if (from != to && line >= from.line && line <= to.line) {
            const qsizetype start = line == from.line ? from.column : 0;
            const qsizetype end = line == to.line ? to.column : text.size();
            QTextLayout::FormatRange range;
            range.start = static_cast<int>(std::min(start, text.size()));
            range.length = static_cast<int>(std::min(end, text.size())) - range.start;
            range.format.setBackground(palette().highlight());
            range.format.setForeground(palette().highlightedText());
            selection.append(range);
        }
        laidOut.layout.draw(&painter, QPointF(x, y), selection);
        if (from != to && line >= from.line && line < to.line) {
            // The line end is selected too, as a space's width, so that empty lines show.
            const qreal end = x + laidOut.line.naturalTextWidth();
            painter.fillRect(
                QRectF(end, y, fontMetrics().horizontalAdvance(QLatin1Char(' ')), height),
                palette().highlight());
        }
        if (hasFocus() && line == m_cursor.line) {
            laidOut.layout.drawCursor(
                &painter, QPointF(x, y), static_cast<int>(std::min(m_cursor.column, text.size())));
        }
        m_widestLine = std::max(m_widestLine, laidOut.line.naturalTextWidth());
    }
    if (m_widestLine > widestBefore) {
        UpdateScrollBars();
    }
}

void ReportView::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBars();
}

void ReportView::changeEvent(QEvent *event)
{
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        m_widestLine = 0;
        MeasureLines(0, std::min(LineCount(), kLinesMeasuredPerSync));
        UpdateScrollBars();
    }
}

ReportView::Position ReportView::PositionAt(QPoint point) const
{
    const qsizetype line = verticalScrollBar()->value()
        + static_cast<qsizetype>(std::floor(static_cast<double>(point.y()) / LineHeight()));
    if (line < 0) {
        return {};
    }
    if (line >= LineCount()) {
        return Clamped({ LineCount() - 1, std::numeric_limits<qsizetype>::max() });
    }
    const LaidOutLine laidOut(Shown(LineBytes(line)), font(), m_textOption);
    const qreal x = point.x() - kMargin + horizontalScrollBar()->value();
    return { line, laidOut.line.xToCursor(x) };
}

qsizetype ReportView::LineLength(qsizetype line) const
{
    const std::string_view bytes = LineBytes(line);
    const bool ascii = std::all_of(
        bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    return ascii ? static_cast<qsizetype>(bytes.size()) : Line(line).size();
}

// The marks count whole lines only: the last line, which may still grow, is never behind one.
qsizetype ReportView::LineOffset(qsizetype line) const
{
    const auto mark = static_cast<std::size_t>(line / kLinesPerOffsetMark);
    while (m_offsetMarks.size() <= mark) {
        const auto first = static_cast<qsizetype>(m_offsetMarks.size() - 1) * kLinesPerOffsetMark;
        qsizetype offset = m_offsetMarks.back();
        for (qsizetype counted = first; counted < first + kLinesPerOffsetMark; ++counted) {
            offset += LineLength(counted) + 1;
        }
        m_offsetMarks.push_back(offset);
    }
    qsizetype offset = m_offsetMarks[mark];
    for (qsizetype counted = static_cast<qsizetype>(mark) * kLinesPerOffsetMark; counted < line;
         ++counted) {
        offset += LineLength(counted) + 1;
    }
    return offset;
}

qsizetype ReportView::CharacterCount() const
{
    return LineOffset(LineCount() - 1) + LineLength(LineCount() - 1);
}

qsizetype ReportView::OffsetOf(Position position) const
{
    return LineOffset(position.line) + position.column;
}

ReportView::Position ReportView::PositionOf(qsizetype offset) const
{
    offset = std::clamp<qsizetype>(offset, 0, CharacterCount()); // sets every mark
    const auto mark = std::upper_bound(m_offsetMarks.begin(), m_offsetMarks.end(), offset) - 1;
    Position position { (mark - m_offsetMarks.begin()) * kLinesPerOffsetMark, offset - *mark };
    for (qsizetype length = LineLength(position.line);
         position.column > length && position.line + 1 < LineCount();
         length = LineLength(position.line)) {
        position.column -= length + 1;
        ++position.line;
    }
    return position;
}

QString ReportView::Characters(qsizetype from, qsizetype to) const
{
    const Position first = PositionOf(from);
    const Position last = PositionOf(to);
    QString text;
    text.reserve(std::max<qsizetype>(to - from, 0));
    for (qsizetype line = first.line; line <= last.line; ++line) {
        const QString shown = Line(line);
        const qsizetype start = line == first.line ? first.column : 0;
        const qsizetype end = line == last.line ? last.column : shown.size();
        text += QStringView(shown).mid(start, end - start);
        if (line != last.line) {
            text += QLatin1Char('\n');
        }
    }
    return text;
}

QRect ReportView::CharacterRect(Position position) const
{
    const QString text = Shown(LineBytes(position.line));
    const LaidOutLine laidOut(text, font(), m_textOption);
    const auto column = static_cast<int>(std::min(position.column, text.size()));
    const qreal x = kMargin - horizontalScrollBar()->value();
    const qreal left = x + laidOut.line.cursorToX(column);
    const qreal right = column < text.size() ? x + laidOut.line.cursorToX(column + 1) : left;
    const qreal top
        = static_cast<qreal>(position.line - verticalScrollBar()->value()) * LineHeight();
    return QRectF(QPointF(left, top), QPointF(right, top + LineHeight())).toAlignedRect();
}

ReportView::Position ReportView::Clamped(Position position) const
{
    position.line = std::clamp<qsizetype>(position.line, 0, LineCount() - 1);
    position.column = std::clamp<qsizetype>(position.column, 0, Line(position.line).size());
    return position;
}

void ReportView::MoveCursor(Position to, bool extend)
{
    const bool hadSelection = HasSelection();
    const Position before = m_cursor;
    m_cursor = to;
    if (!extend) {
        m_anchor = to;
    }
    viewport()->update();
    if (m_cursor != before || hadSelection != HasSelection()) {
        AnnounceCaret(hadSelection);
    }
}

void ReportView::Select(Position anchor, Position cursor)
{
    const bool hadSelection = HasSelection();
    m_anchor = Clamped(anchor);
    m_cursor = Clamped(cursor);
    viewport()->update();
    AnnounceCaret(hadSelection);
}

void ReportView::EnsureVisible(Position position)
{
    QScrollBar *vertical = verticalScrollBar();
    if (position.line < vertical->value()) {
        vertical->setValue(static_cast<int>(position.line));
    } else if (position.line >= vertical->value() + VisibleLines()) {
        vertical->setValue(static_cast<int>(position.line - VisibleLines() + 1));
    }
    const QString text = Shown(LineBytes(position.line));
    const LaidOutLine laidOut(text, font(), m_textOption);
    const qreal x
        = laidOut.line.cursorToX(static_cast<int>(std::min(position.column, text.size())));
    m_widestLine = std::max(m_widestLine, laidOut.line.naturalTextWidth());
    UpdateScrollBars();
    QScrollBar *horizontal = horizontalScrollBar();
    const int left = static_cast<int>(x);
    if (left < horizontal->value()) {
        horizontal->setValue(left);
    } else if (left + 2 * kMargin > horizontal->value() + viewport()->width()) {
        horizontal->setValue(left + 2 * kMargin - viewport()->width());
    }
}

QString ReportView::SelectedText() const
{
    const auto [from, to] = std::minmax(m_anchor, m_cursor);
    return TextBetween(from, to);
}

QString ReportView::TextBetween(Position from, Position to) const
{
    QString selected;
    for (qsizetype line = from.line; line <= to.line; ++line) {
        const QString text = Line(line);
        const qsizetype start = line == from.line ? from.column : 0;
        const qsizetype end = line == to.line ? to.column : text.size();
        selected += text.mid(start, end - start);
        if (line != to.line) {
            selected += QLatin1Char('\n');
        }
    }
    return selected;
}

void ReportView::SelectAll()
{
    Select({}, { LineCount() - 1, kLineEnd });
    OfferPrimarySelection();
}

// As every X11 program does with what the user selects: a middle click pastes it elsewhere.
void ReportView::OfferPrimarySelection()
{
    QClipboard *clipboard = QApplication::clipboard();
    if (!HasSelection() || !clipboard->supportsSelection()) {
        return;
    }
    const auto [from, to] = std::minmax(m_anchor, m_cursor);
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
    const bool extend = (event->modifiers() & Qt::ShiftModifier) != 0;
    const bool wholeText = (event->modifiers() & Qt::ControlModifier) != 0;
    Position to = m_cursor;
    switch (event->key()) {
    case Qt::Key_Left:
        to = m_cursor.column > 0 ? Position { m_cursor.line, m_cursor.column - 1 }
                                 : Position { m_cursor.line - 1, kLineEnd };
        break;
    case Qt::Key_Right:
        to = m_cursor.column < Line(m_cursor.line).size()
            ? Position { m_cursor.line, m_cursor.column + 1 }
            : Position { m_cursor.line + 1, 0 };
        if (to.line >= LineCount()) {
            to = m_cursor;
        }
        break;
    case Qt::Key_Up:
        to.line -= 1;
        break;
    case Qt::Key_Down:
        to.line += 1;
        break;
    case Qt::Key_PageUp:
        to.line -= VisibleLines();
        break;
    case Qt::Key_PageDown:
        to.line += VisibleLines();
        break;
    case Qt::Key_Home:
        to = wholeText ? Position {} : Position { m_cursor.line, 0 };
        break;
    case Qt::Key_End:
        to = wholeText ? Position { LineCount() - 1, kLineEnd }
                       : Position { m_cursor.line, kLineEnd };
        break;
    default:
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    if (to.line < 0) {
        to = {};
    }
    MoveCursor(Clamped(to), extend);
    EnsureVisible(m_cursor);
    if (extend) {
        OfferPrimarySelection();
    }
}

void ReportView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    const QPoint point = event->position().toPoint();
    const Position at = PositionAt(point);
    const bool extend = (event->modifiers() & Qt::ShiftModifier) != 0;
    const std::optional<Click> doubleClick = std::exchange(m_doubleClick, std::nullopt);
    if (doubleClick && doubleClick->released
        && (point - doubleClick->point).manhattanLength() < QApplication::startDragDistance()
        && event->timestamp() - doubleClick->time
            < static_cast<std::uint64_t>(QApplication::doubleClickInterval())) {
        const auto [start, end] = UnitAround(at, Unit::Line);
        StartSelecting(start, end, Unit::Line);
    } else if (!extend && OnSelectedText(point)) {
        m_pressOnSelection = point;
    } else {
        MoveCursor(at, extend);
        m_selecting = true;
        m_unit = Unit::Character;
    }
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
    if (!m_selecting) {
        return;
    }
    m_dragPoint = point;
    ExtendTo(point);
    const QRect area = viewport()->rect();
    if (area.contains(point)) {
        m_autoScroll.stop();
        return;
    }
    const int beyond = std::max({ area.top() - point.y(), point.y() - area.bottom(),
        area.left() - point.x(), point.x() - area.right(), 7 });
    m_autoScroll.start(
        std::clamp(kAutoScrollPace / (beyond * beyond), kAutoScrollFastest, kAutoScrollSlowest),
        this);
}

void ReportView::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mouseReleaseEvent(event);
        return;
    }
    m_autoScroll.stop();
    if (m_doubleClick) {
        m_doubleClick->released = true;
    }
    if (m_pressOnSelection) {
        // A click on the selection that dragged nothing: the caret goes there, as anywhere.
        m_pressOnSelection.reset();
        MoveCursor(PositionAt(event->position().toPoint()), false);
    }
    if (std::exchange(m_selecting, false)) {
        OfferPrimarySelection();
    }
}

void ReportView::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        return;
    }
    const QPoint point = event->position().toPoint();
    const auto [start, end] = UnitAround(PositionAt(point), Unit::Word);
    StartSelecting(start, end, Unit::Word);
    m_doubleClick = Click { point, event->timestamp(), false };
}

void ReportView::StartSelecting(Position anchor, Position cursor, Unit unit)
{
    m_pressOnSelection.reset();
    m_selecting = true;
    m_unit = unit;
    m_unitStart = anchor;
    m_unitEnd = cursor;
    Select(anchor, cursor);
}

// A word is what lies between blanks and tabs: a divider, a frequency or a register word. A line
// takes its line end with it, so that lines copied one after another read as they did.
std::pair<ReportView::Position, ReportView::Position> ReportView::UnitAround(
    Position position, Unit unit) const
{
    if (unit == Unit::Line) {
        return { { position.line, 0 },
            position.line + 1 < LineCount() ? Position { position.line + 1, 0 }
                                            : Position { position.line, kLineEnd } };
    }
    if (unit == Unit::Character) {
        return { position, position };
    }
    const QString text = Line(position.line);
    const auto isBlank = [&text](qsizetype i) {
        return text[i] == QLatin1Char(' ') || text[i] == QLatin1Char('\t');
    };
    qsizetype start = std::min(position.column, text.size());
    qsizetype end = start;
    while (start > 0 && !isBlank(start - 1)) {
        --start;
    }
    while (end < text.size() && !isBlank(end)) {
        ++end;
    }
    return { { position.line, start }, { position.line, end } };
}

// Moves the selection's end to the point, or to the nearest place on screen when the point is
// past an edge, by whole words or lines after a double or triple click.
void ReportView::ExtendTo(QPoint point)
{
    const int bottom = std::max(VisibleLines() * LineHeight(), 1) - 1;
    const Position at = PositionAt(QPoint(
        std::clamp(point.x(), 0, viewport()->width() - 1), std::clamp(point.y(), 0, bottom)));
    Position anchor = m_anchor;
    Position cursor = at;
    if (m_unit != Unit::Character) {
        const auto [start, end] = UnitAround(at, m_unit);
        const bool backwards = at < m_unitStart;
        anchor = backwards ? m_unitEnd : m_unitStart;
        cursor = backwards ? start : std::max(end, m_unitEnd);
    }
    if (anchor != m_anchor || cursor != m_cursor) {
        Select(anchor, cursor);
    }
    EnsureVisible(m_cursor);
}

void ReportView::timerEvent(QTimerEvent *event)
{
    if (event->timerId() != m_autoScroll.timerId()) {
        QAbstractScrollArea::timerEvent(event);
        return;
    }
    ScrollTowards(m_dragPoint);
    ExtendTo(m_dragPoint);
}

void ReportView::ScrollTowards(QPoint point)
{
    const QRect area = viewport()->rect();
    if (point.y() < area.top()) {
        verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
    } else if (point.y() > area.bottom()) {
        verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    }
    if (point.x() < area.left()) {
        horizontalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
    } else if (point.x() > area.right()) {
        horizontalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    }
}

// Whether the point is on a selected character: not in the margin, nor past a line's end, nor
// below the last line, where a press starts a new selection instead of a drag.
bool ReportView::OnSelectedText(QPoint point) const
{
    if (!HasSelection()) {
        return false;
    }
    const Position at = PositionAt(point);
    const auto [from, to] = std::minmax(m_anchor, m_cursor);
    const QRect first = CharacterRect({ at.line, 0 });
    const QRect last = CharacterRect({ at.line, kLineEnd });
    return !(at < from) && !(to < at) && point.x() >= first.left() && point.x() < last.left()
        && point.y() >= first.top() && point.y() <= first.bottom();
}

void ReportView::DragOut()
{
    const auto [from, to] = std::minmax(m_anchor, m_cursor);
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
        QRect caret = CharacterRect(m_cursor);
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
