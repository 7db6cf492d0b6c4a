// SPDX-License-Identifier: MIT
#include "ui/report_view_accessible.h"

#include "ui/report_view.h"

#include <algorithm>
#include <limits>

namespace ui {
namespace {

int ToInt(qsizetype value)
{
    return static_cast<int>(std::min<qsizetype>(value, std::numeric_limits<int>::max()));
}

} // namespace

ReportViewAccessible::ReportViewAccessible(ReportView *view)
    : QAccessibleWidget(view, QAccessible::EditableText)
{
}

// The piece of `line` between two boundaries of `type` around `column`, which lies before the
// line's end; `lineStart` is the line's offset.
ReportViewAccessible::Span ReportViewAccessible::Piece(const QString &line, qsizetype column,
    qsizetype lineStart, QTextBoundaryFinder::BoundaryType type)
{
    QTextBoundaryFinder finder(type, line);
    finder.setPosition(column);
    const qsizetype start = finder.isAtBoundary() ? column : finder.toPreviousBoundary();
    finder.setPosition(column);
    const qsizetype end = finder.toNextBoundary();
    return { lineStart + std::max<qsizetype>(start, 0), lineStart + (end < 0 ? line.size() : end) };
}

ReportView &ReportViewAccessible::View() const
{
    return *static_cast<ReportView *>(widget());
}

QAccessible::State ReportViewAccessible::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    state.readOnly = true;
    state.editable = false;
    state.multiLine = true;
    state.selectableText = true;
    return state;
}

void *ReportViewAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TextInterface) {
        return static_cast<QAccessibleTextInterface *>(this);
    }
    return QAccessibleWidget::interface_cast(type);
}

void ReportViewAccessible::selection(int selectionIndex, int *startOffset, int *endOffset) const
{
    *startOffset = *endOffset = -1;
    if (selectionIndex == 0 && View().HasSelection()) {
        const ReportView::Position anchor = View().Anchor();
        const ReportView::Position cursor = View().Cursor();
        const auto [from, to] = std::minmax(anchor, cursor); // references to the two above
        *startOffset = ToInt(View().OffsetOf(from));
        *endOffset = ToInt(View().OffsetOf(to));
    }
}

int ReportViewAccessible::selectionCount() const
{
    return View().HasSelection() ? 1 : 0;
}

// The pane has one selection: adding one replaces it.
void ReportViewAccessible::addSelection(int startOffset, int endOffset)
{
    setSelection(0, startOffset, endOffset);
}

void ReportViewAccessible::removeSelection(int selectionIndex)
{
    if (selectionIndex == 0) {
        View().Select(View().Cursor(), View().Cursor());
    }
}

void ReportViewAccessible::setSelection(int selectionIndex, int startOffset, int endOffset)
{
    if (selectionIndex == 0) {
        View().Select(View().PositionOf(startOffset), View().PositionOf(endOffset));
        View().EnsureVisible(View().Cursor());
    }
}

int ReportViewAccessible::cursorPosition() const
{
    return ToInt(View().OffsetOf(View().Cursor()));
}

void ReportViewAccessible::setCursorPosition(int position)
{
    const ReportView::Position at = View().PositionOf(position);
    View().Select(at, at);
    View().EnsureVisible(at);
}

QString ReportViewAccessible::text(int startOffset, int endOffset) const
{
    const qsizetype count = View().CharacterCount();
    const qsizetype start = std::clamp<qsizetype>(startOffset, 0, count);
    // As in Qt's own text interfaces, -1 stands for the end of the text.
    const qsizetype end = endOffset < 0 ? count : std::clamp<qsizetype>(endOffset, start, count);
    return View().Characters(start, end);
}

int ReportViewAccessible::characterCount() const
{
    return ToInt(View().CharacterCount());
}

// A line is a line of the report with its LF, and so are a sentence and a paragraph: the pane
// does not wrap, and a row is read as a whole. A word is Unicode's, as in Qt's own text
// interfaces; the LF at a line's end is a character and a word of its own.
ReportViewAccessible::Span ReportViewAccessible::SpanAt(
    qsizetype offset, QAccessible::TextBoundaryType boundaryType) const
{
    const ReportView &view = View();
    const qsizetype count = view.CharacterCount();
    if (offset < 0 || offset > count) {
        return {};
    }
    if (boundaryType == QAccessible::NoBoundary) {
        return { 0, count };
    }
    const ReportView::Position at = view.PositionOf(offset);
    const auto line = static_cast<qsizetype>(at.line);
    const auto column = static_cast<qsizetype>(at.column);
    const qsizetype lineStart = offset - column;
    const qsizetype length = view.LineLength(line);
    const bool lastLine = line + 1 == view.LineCount();
    switch (boundaryType) {
    case QAccessible::CharBoundary:
    case QAccessible::WordBoundary:
        if (column == length) {
            return { offset, lastLine ? offset : offset + 1 };
        }
        return Piece(view.Line(line), column, lineStart,
            boundaryType == QAccessible::CharBoundary ? QTextBoundaryFinder::Grapheme
                                                      : QTextBoundaryFinder::Word);
    case QAccessible::SentenceBoundary:
    case QAccessible::ParagraphBoundary:
    case QAccessible::LineBoundary:
    case QAccessible::NoBoundary:
        break;
    }
    return { lineStart, lineStart + length + (lastLine ? 0 : 1) };
}

QString ReportViewAccessible::TextOf(Span span, int *startOffset, int *endOffset) const
{
    *startOffset = ToInt(span.start);
    *endOffset = ToInt(span.end);
    return span.start < 0 ? QString() : View().Characters(span.start, span.end);
}

QString ReportViewAccessible::textAtOffset(
    int offset, QAccessible::TextBoundaryType boundaryType, int *startOffset, int *endOffset) const
{
    return TextOf(SpanAt(offset, boundaryType), startOffset, endOffset);
}

QString ReportViewAccessible::textBeforeOffset(
    int offset, QAccessible::TextBoundaryType boundaryType, int *startOffset, int *endOffset) const
{
    const Span at = SpanAt(offset, boundaryType);
    return TextOf(
        at.start > 0 ? SpanAt(at.start - 1, boundaryType) : Span {}, startOffset, endOffset);
}

QString ReportViewAccessible::textAfterOffset(
    int offset, QAccessible::TextBoundaryType boundaryType, int *startOffset, int *endOffset) const
{
    const Span at = SpanAt(offset, boundaryType);
    const bool more = at.start >= 0 && at.end < View().CharacterCount();
    return TextOf(more ? SpanAt(at.end, boundaryType) : Span {}, startOffset, endOffset);
}

QRect ReportViewAccessible::characterRect(int offset) const
{
    const QRect rect = View().CharacterRect(View().PositionOf(offset));
    return { View().viewport()->mapToGlobal(rect.topLeft()), rect.size() };
}

int ReportViewAccessible::offsetAtPoint(const QPoint &point) const
{
    const QPoint local = View().viewport()->mapFromGlobal(point);
    if (!View().viewport()->rect().contains(local)) {
        return -1;
    }
    return ToInt(View().OffsetOf(View().PositionAt(local)));
}

void ReportViewAccessible::scrollToSubstring(int startIndex, int /*endIndex*/)
{
    View().EnsureVisible(View().PositionOf(startIndex));
}

// The whole report is in the pane's one font: no offset has attributes of its own.
QString ReportViewAccessible::attributes(int /*offset*/, int *startOffset, int *endOffset) const
{
    *startOffset = 0;
    *endOffset = characterCount();
    return {};
}

QAccessibleInterface *ReportViewAccessibleFactory(const QString &key, QObject *object)
{
    auto *view = qobject_cast<ReportView *>(object);
    if (view != nullptr && key == QLatin1String(ReportView::staticMetaObject.className())) {
        return new ReportViewAccessible(view);
    }
    return nullptr;
}

} // namespace ui
