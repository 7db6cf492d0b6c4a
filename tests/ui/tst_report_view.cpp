// SPDX-License-Identifier: MIT
// The result pane on its own: its lines, its selection and what it copies.
#include "ui/report_view.h"

#include <QApplication>
#include <QClipboard>
#include <QScrollBar>
#include <QTest>

class TestReportView : public QObject {
    Q_OBJECT

private slots:
    void linesSplitAtLineEndsWhateverTheAppends();
    void setTextStartsAfresh();
    void keyboardSelectsAndCopies();
    void longLinesAreCopiedWhole();
    void appendsReachTheScreenAtSync();
};

void TestReportView::linesSplitAtLineEndsWhateverTheAppends()
{
    ui::ReportView view;
    view.SetText("Xtal = 1 Hz\r\n");
    view.Append("168\t\t 100"); // a line may arrive in pieces
    view.Append("000 Hz\r"); // and its CR apart from its LF
    view.Append("\nlast");
    QCOMPARE(view.LineCount(), 3);
    QCOMPARE(view.Line(0), QStringLiteral("Xtal = 1 Hz"));
    QCOMPARE(view.Line(1), QStringLiteral("168\t\t 100000 Hz"));
    QCOMPARE(view.Line(2), QStringLiteral("last"));
    QCOMPARE(view.Text(), std::string("Xtal = 1 Hz\r\n168\t\t 100000 Hz\r\nlast"));

    view.Append("\r\n");
    QCOMPARE(view.LineCount(), 4);
    QCOMPARE(view.Line(3), QString());
    view.Append("\u00b5 \u66b4\r\n"); // UTF-8 of the user's typing comes through as typed
    QCOMPARE(view.Line(3), QStringLiteral("\u00b5 \u66b4"));
}

void TestReportView::setTextStartsAfresh()
{
    ui::ReportView view;
    view.SetText("a\r\nb\r\nc\r\n");
    view.SelectAll();
    QVERIFY(view.HasSelection());
    view.SetText({});
    QCOMPARE(view.LineCount(), 1);
    QVERIFY(view.Text().empty());
    QVERIFY(!view.HasSelection());
    QCOMPARE(view.SelectedText(), QString());
}

void TestReportView::keyboardSelectsAndCopies()
{
    ui::ReportView view;
    view.SetText("first line\r\nsecond\r\nthird\r\n");
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));

    QTest::keyClick(&view, Qt::Key_Down);
    QTest::keyClick(&view, Qt::Key_Right);
    QTest::keyClick(&view, Qt::Key_End, Qt::ShiftModifier);
    QCOMPARE(view.SelectedText(), QStringLiteral("econd"));
    QTest::keyClick(&view, Qt::Key_Right, Qt::ShiftModifier); // over the line end
    QTest::keyClick(&view, Qt::Key_Right, Qt::ShiftModifier);
    QCOMPARE(view.SelectedText(), QStringLiteral("econd\nt"));
    QTest::keyClick(&view, Qt::Key_Up, Qt::ShiftModifier); // back onto the anchor
    QVERIFY(!view.HasSelection());
    QTest::keyClick(&view, Qt::Key_Up, Qt::ShiftModifier);
    QCOMPARE(view.SelectedText(), QStringLiteral("irst line\ns"));

    QTest::keyClick(&view, Qt::Key_Home, Qt::ControlModifier);
    QVERIFY(!view.HasSelection()); // moving without shift drops the selection
    QTest::keyClick(&view, Qt::Key_End, Qt::ControlModifier | Qt::ShiftModifier);
    QTest::keyClick(&view, Qt::Key_Insert, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("first line\nsecond\nthird\n"));

    QTest::keyClick(&view, Qt::Key_Left); // at the start of the text, nothing to go to
    QTest::keyClick(&view, Qt::Key_Home, Qt::ControlModifier);
    QTest::keyClick(&view, Qt::Key_Left);
    QTest::keyClick(&view, Qt::Key_Right, Qt::ShiftModifier);
    QCOMPARE(view.SelectedText(), QStringLiteral("f"));
}

void TestReportView::longLinesAreCopiedWhole()
{
    // A megabyte pasted into a box comes back in the header: shown cut, copied whole.
    const std::string page(1 << 20, 'x');
    ui::ReportView view;
    view.SetText("Xtal = " + page + " Hz\r\nnext\r\n");
    view.resize(300, 200);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    view.SelectAll();
    const QString copied = view.SelectedText();
    QCOMPARE(copied.size(), qsizetype(7 + page.size() + 3 + 1 + 4 + 1));
    QVERIFY(copied.startsWith(QStringLiteral("Xtal = xxx")));
    QTest::keyClick(&view, Qt::Key_End); // the caret goes to the real end of the long line
    QVERIFY(view.horizontalScrollBar()->maximum() > 0);
}

void TestReportView::appendsReachTheScreenAtSync()
{
    ui::ReportView view;
    view.resize(300, 100);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    view.SetText("header\r\n");
    for (int i = 0; i < 1000; ++i) {
        view.Append("row\r\n");
    }
    QCOMPARE(view.verticalScrollBar()->maximum(), 0); // nothing shown of it yet
    view.Sync();
    QVERIFY(view.verticalScrollBar()->maximum() > 900);
    QCOMPARE(view.verticalScrollBar()->value(), view.verticalScrollBar()->maximum());
}

QTEST_MAIN(TestReportView)
#include "tst_report_view.moc"
