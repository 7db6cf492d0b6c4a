// SPDX-License-Identifier: MIT
// The result pane as assistive technology sees it: a read-only, multi-line text, named
// "Report", whose text, caret and selection a screen reader reads through Qt's text interface.
// The text is the report's lines as shown, joined by LF: the CR of each CR LF is not drawn, so
// it is no character a reader could land on, and the clipboard gets LF too.
#pragma once

#include <QAccessibleWidget>
#include <QTextBoundaryFinder>

namespace ui {

class ReportView;

class ReportViewAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit ReportViewAccessible(ReportView *view);

    QAccessible::State state() const override;
    // The pane is one text; its scroll bars and viewport are means to show it, not parts of it.
    int childCount() const override { return 0; }
    QAccessibleInterface *child(int /*index*/) const override { return nullptr; }
    int indexOfChild(const QAccessibleInterface * /*child*/) const override { return -1; }
    void *interface_cast(QAccessible::InterfaceType type) override;

    void selection(int selectionIndex, int *startOffset, int *endOffset) const override;
    int selectionCount() const override;
    void addSelection(int startOffset, int endOffset) override;
    void removeSelection(int selectionIndex) override;
    void setSelection(int selectionIndex, int startOffset, int endOffset) override;
    int cursorPosition() const override;
    void setCursorPosition(int position) override;
    QString text(int startOffset, int endOffset) const override;
    QString textBeforeOffset(int offset, QAccessible::TextBoundaryType boundaryType,
        int *startOffset, int *endOffset) const override;
    QString textAfterOffset(int offset, QAccessible::TextBoundaryType boundaryType,
        int *startOffset, int *endOffset) const override;
    QString textAtOffset(int offset, QAccessible::TextBoundaryType boundaryType, int *startOffset,
        int *endOffset) const override;
    int characterCount() const override;
    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint &point) const override;
    void scrollToSubstring(int startIndex, int endIndex) override;
    QString attributes(int offset, int *startOffset, int *endOffset) const override;

    using QAccessibleWidget::text;

private:
    struct Span {
        qsizetype start = -1;
        qsizetype end = -1;
    };

    ReportView &View() const;
    static Span Piece(const QString &line, qsizetype column, qsizetype lineStart,
        QTextBoundaryFinder::BoundaryType type);
    Span SpanAt(qsizetype offset, QAccessible::TextBoundaryType boundaryType) const;
    QString TextOf(Span span, int *startOffset, int *endOffset) const;
};

// For QAccessible::installFactory: the interface of a ReportView, and nothing for other objects.
QAccessibleInterface *ReportViewAccessibleFactory(const QString &key, QObject *object);

} // namespace ui
