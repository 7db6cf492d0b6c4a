// SPDX-License-Identifier: MIT
// The result pane on its own: what its mouse and keys reach of the pane's model, what it copies,
// how it follows the rows of a run, and what assistive technology reads of it.
#include "ui/report_view.h"

#include "form/pane_input.h"
#include "form/pane_model.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QDrag>
#include <QMimeData>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>

#include <limits>

#include <string>

class TestReportView : public QObject {
    Q_OBJECT

private slots:
    void keysReachTheModelAndCopy();
    void keysMoveAsThePagesUsualKeyMap();
    void mouseSelectsAsEveryTextPane_data();
    void mouseSelectsAsEveryTextPane();
    void longLinesAreCopiedWhole();
    void viewFollowsRowsUntilScrolledAway();
    void assistiveTechnologyReadsTheLinesAsShown_data();
    void assistiveTechnologyReadsTheLinesAsShown();
    void assistiveTechnologyMovesTheCaretAndSelects();
};

namespace {

// A header with characters of one and of two UTF-16 units, two hundred rows, which cross
// several of the view's offset marks, and the footer. Offsets: the header's LF is at 13, row k
// starts at 14 + 11 k, the footer at 2214, and the text ends at 2230.
std::string ReportForReaders()
{
    std::string report = "Xtal = \u00b5\U0001F600 Hz\r\n";
    for (int row = 0; row < 200; ++row) {
        const std::string number = std::to_string(1000 + row).substr(1);
        report += number + "\t0202A2\r\n";
    }
    return report + "Over and Out...\r\n";
}

enum class Around { Before, At, After };

// One mouse event of a gesture, on a character of ReportForReaders() with the view scrolled to
// the top, or past the view's bottom edge; at a time in milliseconds.
struct Step {
    QEvent::Type type;
    ui::ReportView::Position at;
    std::uint64_t time = 0;
};
using Gesture = QList<Step>;
constexpr ui::ReportView::Position kPastTheBottom { std::numeric_limits<std::size_t>::max(), 0 };

// A pane with the model a window would give it.
struct Pane {
    form::PaneModel model;
    ui::ReportView view { model };

    explicit Pane(std::string_view text)
    {
        model.SetText(text);
        view.Sync();
    }
};

} // namespace

// The keys reach the model (the model's own tests say what each does) and copy what it selects.
void TestReportView::keysReachTheModelAndCopy()
{
    Pane pane(ReportForReaders());
    ui::ReportView &view = pane.view;
    view.resize(300, 100);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));

    QTest::keyClick(&view, Qt::Key_Down);
    QTest::keyClick(&view, Qt::Key_Right);
    QTest::keyClick(&view, Qt::Key_End, Qt::ShiftModifier);
    QCOMPARE(view.SelectedText(), QStringLiteral("00\t0202A2"));
    QTest::keyClick(&view, Qt::Key_PageDown); // a page on, and the view with it
    QCOMPARE(view.Cursor().line, 1 + pane.model.VisibleLines());
    QCOMPARE(view.verticalScrollBar()->value(), static_cast<int>(pane.model.VisibleLines()));
    QTest::keyClick(&view, Qt::Key_Home, Qt::ControlModifier);
    QTest::keyClick(&view, Qt::Key_End, Qt::ControlModifier | Qt::ShiftModifier);
    QTest::keyClick(&view, Qt::Key_Insert, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(),
        QString::fromStdString(ReportForReaders())
            .replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

// Qt's own bindings of this desktop, which the pane takes, move the caret as the page's usual key
// map does: Ctrl+Shift+Right selects to the end of the word.
void TestReportView::keysMoveAsThePagesUsualKeyMap()
{
    const QHash<QString, Qt::Key> qtKeys = { { "ArrowLeft", Qt::Key_Left },
        { "ArrowRight", Qt::Key_Right }, { "ArrowUp", Qt::Key_Up }, { "ArrowDown", Qt::Key_Down },
        { "PageUp", Qt::Key_PageUp }, { "PageDown", Qt::Key_PageDown }, { "Home", Qt::Key_Home },
        { "End", Qt::Key_End } };
    Pane pane(ReportForReaders());
    pane.view.resize(300, 100);
    form::PaneModel expected;
    expected.SetText(ReportForReaders());
    expected.SetVisibleLines(pane.model.VisibleLines());
    const ui::ReportView::Position start { 5, 5 };
    int moves = 0;
    for (const form::PaneKeyBinding &binding : form::kPaneKeyMap) {
        if (binding.usual == form::kUnbound || binding.command != form::PaneCommand::Move) {
            continue;
        }
        const auto key = QString::fromStdString(std::string(binding.key));
        pane.view.Select(start, start);
        expected.Select(start, start);
        QTest::keyClick(&pane.view, qtKeys.value(key),
            Qt::ShiftModifier
                | (binding.usual == form::kCtrl ? Qt::ControlModifier : Qt::NoModifier));
        expected.Key(binding.move, true);
        QCOMPARE(pane.view.SelectedText(), QString::fromStdString(expected.SelectedText()));
        ++moves;
    }
    QCOMPARE(moves, 12);
    pane.view.Select(start, start);
    QTest::keyClick(&pane.view, Qt::Key_Right, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(pane.view.SelectedText(), QStringLiteral("202A2"));
}

void TestReportView::mouseSelectsAsEveryTextPane_data()
{
    QTest::addColumn<Gesture>("gesture");
    QTest::addColumn<QString>("selected");
    QTest::addColumn<QString>("dragged");

    using E = QEvent;
    const auto click = [](ui::ReportView::Position at, std::uint64_t time) {
        return Gesture { { E::MouseButtonPress, at, time }, { E::MouseButtonRelease, at, time } };
    };
    const auto doubleClick = [&click](ui::ReportView::Position at) {
        return click(at, 0) + Gesture { { E::MouseButtonDblClick, at, 100 } };
    };
    const Gesture released { { E::MouseButtonRelease, { 1, 5 }, 200 } };
    const QString word = QStringLiteral("0202A2");
    const QString toTheEnd = QString::fromStdString(ReportForReaders())
                                 .replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
                                 .mid(14 + 11 * 190);

    QTest::newRow("drag") << Gesture { { E::MouseButtonPress, { 1, 1 } },
        { E::MouseMove, { 2, 3 } }, { E::MouseButtonRelease, { 2, 3 } } }
                          << QStringLiteral("00\t0202A2\n001") << QString();
    QTest::newRow("double-click and drag takes words")
        << doubleClick({ 1, 5 }) + Gesture { { E::MouseMove, { 3, 1 }, 150 } } + released
        << QStringLiteral("0202A2\n001\t0202A2\n002") << QString();
    QTest::newRow("triple-click takes the line and its end")
        << doubleClick({ 2, 2 }) + released + click({ 2, 2 }, 300)
        << QStringLiteral("001\t0202A2\n") << QString();
    QTest::newRow("triple-click and drag takes lines")
        << doubleClick({ 2, 2 }) + released
            + Gesture { { E::MouseButtonPress, { 2, 2 }, 300 }, { E::MouseMove, { 1, 1 }, 350 },
                  { E::MouseButtonRelease, { 1, 1 }, 400 } }
        << QStringLiteral("000\t0202A2\n001\t0202A2\n") << QString();
    QTest::newRow("click on the selection leaves a caret")
        << doubleClick({ 1, 5 }) + released + click({ 1, 5 }, 2000) << QString() << QString();
    QTest::newRow("drag of the selection takes it out") << doubleClick({ 1, 5 }) + released
            + Gesture { { E::MouseButtonPress, { 1, 5 }, 2000 }, { E::MouseMove, { 4, 5 }, 2100 },
                  { E::MouseButtonRelease, { 4, 5 }, 2200 } }
                                                        << word << word;
    QTest::newRow("drag held past the edge scrolls on")
        << Gesture { { E::MouseButtonPress, { 191, 0 } }, { E::MouseMove, kPastTheBottom } }
        << toTheEnd << QString();
}

// A gesture of the mouse selects what it does in Qt's own text panes; what it selects becomes
// the primary selection on a desktop that has one, and a drag of the selection carries its text.
void TestReportView::mouseSelectsAsEveryTextPane()
{
    QFETCH(Gesture, gesture);
    QFETCH(QString, selected);
    QFETCH(QString, dragged);

    Pane pane(ReportForReaders());
    ui::ReportView &view = pane.view;
    view.resize(300, 100);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    view.verticalScrollBar()->setValue(static_cast<int>(gesture.first().at.line) - 1);
    QClipboard *clipboard = QApplication::clipboard();
    clipboard->setText(QStringLiteral("before"), QClipboard::Selection);
    QString dragText;
    const auto seeDrag = [&view, &dragText] {
        if (auto *drag = view.findChild<QDrag *>()) {
            dragText = drag->mimeData()->text();
            QTest::keyClick(&view, Qt::Key_Escape); // a real desktop's drag waits for a drop
        }
    };

    Qt::MouseButtons held;
    for (const Step &step : gesture) {
        const QPoint point = step.at == kPastTheBottom
            ? QPoint(20, view.viewport()->height() + 40)
            : view.CharacterRect(step.at).topLeft() + QPoint(1, 2);
        const Qt::MouseButton button
            = step.type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        held = step.type == QEvent::MouseButtonRelease ? Qt::NoButton : held | button;
        QMouseEvent event(step.type, point, view.viewport()->mapToGlobal(point), button, held, {});
        event.setTimestamp(step.time);
        QTimer::singleShot(0, &view, seeDrag);
        QApplication::sendEvent(view.viewport(), &event);
        seeDrag();
    }
    QTRY_COMPARE(view.SelectedText(), selected);
    QCOMPARE(dragText, dragged);
    if (clipboard->supportsSelection() && held == Qt::NoButton && !selected.isEmpty()) {
        QCOMPARE(clipboard->text(QClipboard::Selection), selected);
    }
}

void TestReportView::longLinesAreCopiedWhole()
{
    // A megabyte pasted into a box comes back in the header: drawn where the view stands, copied
    // whole.
    const std::string page(1 << 20, 'x');
    Pane pane("Xtal = " + page + " Hz\r\nnext\r\n");
    ui::ReportView &view = pane.view;
    view.resize(300, 200);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    view.SelectAll();
    const QString copied = view.SelectedText();
    QCOMPARE(copied.size(), qsizetype(7 + page.size() + 3 + 1 + 4 + 1));
    QVERIFY(copied.startsWith(QStringLiteral("Xtal = xxx")));
    QTest::keyClick(&view, Qt::Key_Home, Qt::ControlModifier);
    QTest::keyClick(&view, Qt::Key_End); // the caret goes to the real end of the long line
    QVERIFY(view.horizontalScrollBar()->maximum() > 0);
    const QRect caret = view.CharacterRect(view.Cursor());
    QVERIFY(view.viewport()->rect().contains(caret.topLeft()));
    // The line's last characters are laid out where they are drawn.
    const QPoint point(caret.left() - 30, caret.center().y());
    const ui::ReportView::Position found = view.PositionAt(point);
    QVERIFY(found.column + 20 > view.Cursor().column && found.column < view.Cursor().column);
    const QRect foundRect = view.CharacterRect(found);
    QVERIFY(foundRect.left() <= point.x() + 1 && foundRect.right() >= point.x() - 1);
}

// Rows reach the screen at a frame. The view follows them while it shows the last row; a turn of
// the wheel up keeps its first row while more arrive, and the end takes it back to following.
void TestReportView::viewFollowsRowsUntilScrolledAway()
{
    Pane pane("header\r\n");
    ui::ReportView &view = pane.view;
    view.resize(300, 100);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QScrollBar *bar = view.verticalScrollBar();
    const auto rowsArrive = [&pane](int rows) {
        for (int i = 0; i < rows; ++i) {
            pane.model.Append("row\r\n");
        }
        pane.model.SyncView();
        pane.view.Sync();
    };
    for (int i = 0; i < 1000; ++i) {
        pane.model.Append("row\r\n");
    }
    QCOMPARE(bar->maximum(), 0); // nothing shown of it yet
    rowsArrive(0);
    QVERIFY(bar->maximum() > 900);
    QCOMPARE(bar->value(), bar->maximum());

    QWheelEvent wheel(QPointF(20, 20), view.viewport()->mapToGlobal(QPointF(20, 20)), {},
        QPoint(0, 120), Qt::NoButton, {}, Qt::NoScrollPhase, false);
    QApplication::sendEvent(view.viewport(), &wheel);
    const int scrolledTo = bar->value();
    QVERIFY(scrolledTo < bar->maximum());
    rowsArrive(500);
    QCOMPARE(bar->value(), scrolledTo);

    QTest::keyClick(&view, Qt::Key_End, Qt::ControlModifier);
    rowsArrive(500);
    QCOMPARE(bar->value(), bar->maximum());
}

void TestReportView::assistiveTechnologyReadsTheLinesAsShown_data()
{
    QTest::addColumn<Around>("around");
    QTest::addColumn<int>("offset");
    QTest::addColumn<QAccessible::TextBoundaryType>("boundary");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("start");

    using B = QAccessible::TextBoundaryType;
    const QString header = QStringLiteral("Xtal = \u00b5\U0001F600 Hz\n");
    QTest::newRow("header line") << Around::At << 3 << B::LineBoundary << header << 0;
    QTest::newRow("two-unit character")
        << Around::At << 9 << B::CharBoundary << QStringLiteral("\U0001F600") << 8;
    QTest::newRow("line end") << Around::At << 13 << B::CharBoundary << QStringLiteral("\n") << 13;
    QTest::newRow("first row") << Around::At << 14 << B::LineBoundary
                               << QStringLiteral("000\t0202A2\n") << 14;
    QTest::newRow("last row") << Around::At << 2208 << B::LineBoundary
                              << QStringLiteral("199\t0202A2\n") << 2203;
    QTest::newRow("word") << Around::At << 2208 << B::WordBoundary << QStringLiteral("0202A2")
                          << 2207;
    QTest::newRow("row before") << Around::Before << 2203 << B::LineBoundary
                                << QStringLiteral("198\t0202A2\n") << 2192;
    QTest::newRow("row after") << Around::After << 2192 << B::LineBoundary
                               << QStringLiteral("199\t0202A2\n") << 2203;
    QTest::newRow("footer") << Around::At << 2229 << B::ParagraphBoundary
                            << QStringLiteral("Over and Out...\n") << 2214;
    QTest::newRow("end") << Around::At << 2230 << B::CharBoundary << QString() << 2230;
    QTest::newRow("last character")
        << Around::Before << 2230 << B::CharBoundary << QStringLiteral("\n") << 2229;
    QTest::newRow("nothing after the end")
        << Around::After << 2229 << B::LineBoundary << QString() << -1;
}

// The text interface gives the lines as drawn, joined by LF and counted in UTF-16 units, and
// finds any offset from the view's line index.
void TestReportView::assistiveTechnologyReadsTheLinesAsShown()
{
    QFETCH(Around, around);
    QFETCH(int, offset);
    QFETCH(QAccessible::TextBoundaryType, boundary);
    QFETCH(QString, text);
    QFETCH(int, start);

    Pane pane(ReportForReaders());
    ui::ReportView &view = pane.view;
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(&view);
    QCOMPARE(accessible->role(), QAccessible::EditableText);
    QVERIFY(accessible->state().readOnly && accessible->state().multiLine);
    QAccessibleTextInterface *reader = accessible->textInterface();
    QVERIFY(reader != nullptr);
    QString whole = QString::fromStdString(ReportForReaders());
    whole.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QCOMPARE(reader->characterCount(), whole.size());
    QCOMPARE(reader->text(0, -1), whole);

    int from = 0;
    int to = 0;
    const QString found = around == Around::Before
        ? reader->textBeforeOffset(offset, boundary, &from, &to)
        : around == Around::At ? reader->textAtOffset(offset, boundary, &from, &to)
                               : reader->textAfterOffset(offset, boundary, &from, &to);
    QCOMPARE(found, text);
    QCOMPARE(from, start);
    QCOMPARE(to, start < 0 ? -1 : start + static_cast<int>(text.size()));
    if (start >= 0) {
        QCOMPARE(reader->text(from, to), text);
    }
}

void TestReportView::assistiveTechnologyMovesTheCaretAndSelects()
{
    Pane pane(ReportForReaders());
    ui::ReportView &view = pane.view;
    view.resize(300, 100);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QAccessibleTextInterface *reader
        = QAccessible::queryAccessibleInterface(&view)->textInterface();

    reader->setCursorPosition(2208);
    QCOMPARE(view.Cursor(), (ui::ReportView::Position { 200, 5 }));
    QCOMPARE(reader->cursorPosition(), 2208);
    QVERIFY(view.verticalScrollBar()->value() > 150); // the caret is on screen
    QCOMPARE(reader->offsetAtPoint(reader->characterRect(2208).center()), 2208);

    reader->setSelection(0, 25, 14);
    QCOMPARE(view.SelectedText(), QStringLiteral("000\t0202A2\n"));
    int from = 0;
    int to = 0;
    reader->selection(0, &from, &to);
    QCOMPARE(qMakePair(from, to), qMakePair(14, 25));
    QCOMPARE(reader->cursorPosition(), 14);
    reader->removeSelection(0);
    QCOMPARE(reader->selectionCount(), 0);
}

QTEST_MAIN(TestReportView)
#include "tst_report_view.moc"
