// SPDX-License-Identifier: MIT
// The calculator's window, driven as its user drives it: by control names, clicks and keys.
#include "ui/form1.h"

#include "calc/calculation_run.h"
#include "tests/calc/recording_window.h"
#include "tests/ui/form1_driver.h"
#include "ui/report_view.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include <limits>

namespace {

QByteArray TestData(const QString &name)
{
    QFile file(QStringLiteral(PLL_TEST_DATA_DIR "/") + name);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return file.readAll();
}

QString Tail(const std::string &text)
{
    return QString::fromStdString(text.substr(text.size() > 200 ? text.size() - 200 : 0));
}

} // namespace

class TestForm1 : public QObject, private Form1Driver {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void defaultsMatchStartState();
    void controlsSitWhereTheLayoutPutsThem();
    void focusMovesInTabIndexOrder();
    void captionsFitTheirControls();
    void reportColumnsLineUpUnderTheHeadings();
    void optionGroupsAreIndependent();
    void calculateRfThenIfFillsThePane();
    void paneShowsTheReportAndKeepsItExactly();
    void overflowRunShowsItsBoxOnce();
    void runWithoutMatchLeavesTheCountAlone();
    void optionChangedDuringRunEntersTheNextRow();
    void longRunMatchesTheCoreByteForByte();
    void boxEditedDuringLongRunCountsFromTheNextRead();
    void dragDuringLongRunSelectsWhatItCovers();
    void buttonsAreDisabledOnlyDuringARun();
    void progressBarClampsWhatItCannotHold();
    void closingDuringALongRunEndsItAtOnce();
    void closingDuringARunQuitsTheProgram();
};

void TestForm1::init()
{
    QVERIFY(Open());
}

void TestForm1::cleanup()
{
    Close();
}

void TestForm1::defaultsMatchStartState()
{
    QCOMPARE(m_form->windowTitle(), QStringLiteral("LMX2330A Dual Frequency synthesizers"));
    QCOMPARE(m_form->size(), QSize(697, 559));
    QCOMPARE(m_form->minimumSize(), m_form->maximumSize());

    const QList<QPair<const char *, const char *>> texts = {
        { "Text5", "16800000" },
        { "Text6", "12500" },
        { "Text7", "100000" },
        { "Text8", "100e6" },
        { "Text9", "0" },
        { "Text10", "0" },
        { "Text15", "12500" },
        { "Text14", "100000" },
        { "Text13", "100e6" },
        { "Text12", "0" },
        { "Text11", "0" },
    };
    for (const auto &[name, text] : texts) {
        QCOMPARE(Box(name)->text(), QString::fromLatin1(text));
        QVERIFY(!Box(name)->isReadOnly());
    }
    QCOMPARE(Box("Text8")->palette().color(QPalette::Base), QColor(Qt::white));
    QCOMPARE(Box("Text13")->palette().color(QPalette::Base), QColor(Qt::white));

    // One selected option in each of the eleven groups, and which one.
    const QStringList selected = { "Option1", "Option3", "Option8", "Option9", "Option6",
        "Option11", "Option29", "Option27", "Option23", "Option21", "Option24" };
    int groups = 0;
    for (QGroupBox *frame : m_form->findChildren<QGroupBox *>()) {
        const QList<QRadioButton *> options
            = frame->findChildren<QRadioButton *>(Qt::FindDirectChildrenOnly);
        if (options.isEmpty()) {
            continue;
        }
        ++groups;
        int checked = 0;
        for (QRadioButton *option : options) {
            checked += option->isChecked() ? 1 : 0;
            QCOMPARE(option->isChecked(), selected.contains(option->objectName()));
        }
        QCOMPARE(checked, 1);
    }
    QCOMPARE(groups, 11);

    QVERIFY(m_form->PaneText().empty());
    QCOMPARE(Control<ui::ReportView>("RichTextBox1")->LineCount(), 1);
    const QProgressBar *bar = Control<QProgressBar>("ProgressBar1");
    QVERIFY(bar->value() < bar->minimum()); // no progress shown
    QVERIFY(!bar->isTextVisible());
    QCOMPARE(QApplication::focusWidget(), Control<QWidget>("RichTextBox1"));
}

void TestForm1::controlsSitWhereTheLayoutPutsThem()
{
    // Twips divided by 15, relative to the container.
    struct Expected {
        const char *name;
        const char *container;
        QRect geometry;
        const char *className;
    };
    const QList<Expected> spots = {
        { "Frame3", "Form1", { 4, 52, 689, 137 }, "QGroupBox" },
        { "RichTextBox1", "Form1", { 4, 336, 549, 209 }, "ui::ReportView" },
        { "ProgressBar1", "Form1", { 8, 548, 489, 9 }, "QProgressBar" },
        { "Text5", "Frame2", { 152, 16, 97, 21 }, "QLineEdit" },
        { "Label13", "Frame3", { 12, 108, 73, 17 }, "QLabel" },
        { "Option23", "Frame12", { 16, 24, 65, 13 }, "QRadioButton" },
        { "Command2", "Frame10", { 524, 104, 121, 21 }, "QPushButton" },
        { "Option19", "Frame9", { 12, 180, 109, 21 }, "QRadioButton" },
    };
    for (const Expected &spot : spots) {
        const QWidget *control = Control<QWidget>(spot.name);
        QCOMPARE(control->geometry(), spot.geometry);
        QCOMPARE(control->parentWidget()->objectName(), QString::fromLatin1(spot.container));
        QCOMPARE(control->metaObject()->className(), spot.className);
    }
    QCOMPARE(m_form->findChildren<QGroupBox *>().size(), 14);
    QCOMPARE(m_form->findChildren<QLabel *>().size(), 11);
    QCOMPARE(m_form->findChildren<QLineEdit *>().size(), 11);
    QCOMPARE(m_form->findChildren<QRadioButton *>().size(), 29);
    QCOMPARE(m_form->findChildren<QPushButton *>().size(), 2);
}

void TestForm1::focusMovesInTabIndexOrder()
{
    QStringList expected = { "RichTextBox1", "Text5", "Text6", "Text7", "Text8" };
    for (int i = 1; i <= 19; ++i) {
        expected << QStringLiteral("Option%1").arg(i);
    }
    expected << "Text9"
             << "Text10"
             << "Text11"
             << "Text12";
    for (int i = 20; i <= 29; ++i) {
        expected << QStringLiteral("Option%1").arg(i);
    }
    expected << "Text13"
             << "Text14"
             << "Text15"
             << "Command1"
             << "Command2";

    QStringList chain;
    QWidget *start = Control<QWidget>("RichTextBox1");
    for (QWidget *w = start; chain.size() <= expected.size(); w = w->nextInFocusChain()) {
        if ((w->focusPolicy() & Qt::TabFocus) != 0) {
            chain << w->objectName();
        }
        if (w->nextInFocusChain() == start) {
            break;
        }
    }
    QCOMPARE(chain, expected);

    // Tab leaves the pane for the crystal box; within a group, Tab goes on to the next group.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), Control<QWidget>("Text5"));
    Option("Option1")->setFocus();
    QTest::keyClick(Option("Option1"), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget()->parentWidget()->objectName(), QStringLiteral("Frame5"));
}

void TestForm1::captionsFitTheirControls()
{
    for (const QWidget *control : m_form->findChildren<QWidget *>()) {
        if (qobject_cast<const QLabel *>(control)
            || qobject_cast<const QAbstractButton *>(control)) {
            QVERIFY2(
                control->sizeHint().width() <= control->width(), qPrintable(control->objectName()));
            QVERIFY2(control->fontMetrics().height() <= control->height() + 2,
                qPrintable(control->objectName()));
        } else if (const auto *frame = qobject_cast<const QGroupBox *>(control)) {
            QVERIFY2(frame->fontMetrics().horizontalAdvance(frame->title()) < frame->width() - 8,
                qPrintable(frame->objectName()));
        }
    }
    QVERIFY(m_form->font().pointSizeF() >= 7.0);
    QVERIFY(m_form->font().pointSizeF() <= 8.0);
}

// Each row's columns start where their headings do. CTest runs this at several screen scales,
// where text is drawn at other sizes in device pixels and may measure a little wider.
void TestForm1::reportColumnsLineUpUnderTheHeadings()
{
    QCOMPARE(m_form->devicePixelRatioF(), qEnvironmentVariable("QT_SCALE_FACTOR", "1").toDouble());
    Click("Command1");
    auto *pane = Control<ui::ReportView>("RichTextBox1");
    const auto columnStarts = [pane](qsizetype line) {
        const QString text = pane->Line(line);
        QList<int> starts;
        for (qsizetype column = 1; column < text.size(); ++column) {
            if (text[column - 1] == QLatin1Char('\t') && text[column] != QLatin1Char('\t')) {
                starts << pane->CharacterRect({ static_cast<std::size_t>(line),
                                                  static_cast<std::size_t>(column) })
                              .left();
            }
        }
        return starts;
    };
    const QList<int> headings = columnStarts(1);
    QCOMPARE(headings.size(), 5);
    int rows = 0;
    for (qsizetype line = 3; line < pane->LineCount(); ++line) {
        if (pane->Line(line).count(QLatin1Char('\t')) == 7) {
            QCOMPARE(columnStarts(line), headings);
            ++rows;
        }
    }
    QCOMPARE(rows, 48);
}

void TestForm1::optionGroupsAreIndependent()
{
    QTest::mouseClick(Option("Option2"), Qt::LeftButton); // RF charge pump "High"
    QVERIFY(Option("Option2")->isChecked());
    QVERIFY(!Option("Option1")->isChecked());
    QVERIFY(Option("Option29")->isChecked()); // IF stays "Low"
    QVERIFY(!Option("Option28")->isChecked());

    // "Output FoLD" is one group for both sides: Fastlock sets bit 21 in RF and IF rows alike.
    QTest::mouseClick(Option("Option19"), Qt::LeftButton);
    QVERIFY(!Option("Option11")->isChecked());
    Click("Command1");
    QVERIFY(QString::fromStdString(m_form->PaneText()).contains("\t2602A2\t003E23\r\n"));
    Click("Command2");
    QVERIFY(QString::fromStdString(m_form->PaneText()).contains("\t2202A0\t00FA01\r\n"));
}

void TestForm1::calculateRfThenIfFillsThePane()
{
    Click("Command1");
    QCOMPARE(Box("Text10")->text(), QStringLiteral("48"));
    QCOMPARE(Box("Text11")->text(), QStringLiteral("0"));
    QCOMPARE(QByteArray::fromStdString(m_form->PaneText()), TestData("default_rf_report.txt"));
    const QProgressBar *bar = Control<QProgressBar>("ProgressBar1");
    QCOMPARE(bar->minimum(), 168);
    QCOMPARE(bar->maximum(), 1345);
    QCOMPARE(bar->value(), 1345);

    Click("Command2");
    QCOMPARE(Box("Text11")->text(), QStringLiteral("48"));
    QCOMPARE(Box("Text10")->text(), QStringLiteral("48"));
    QCOMPARE(QByteArray::fromStdString(m_form->PaneText()), TestData("default_if_report.txt"));
    QCOMPARE(Box("Text9")->text(), QStringLiteral("0")); // no other box written
    QVERIFY(m_boxes->Boxes().isEmpty());
}

void TestForm1::paneShowsTheReportAndKeepsItExactly()
{
    Click("Command1");
    auto *pane = Control<ui::ReportView>("RichTextBox1");
    // The view shows every line of it once the run has ended.
    const std::string report = m_form->PaneText();
    QCOMPARE(pane->LineCount(), std::count(report.begin(), report.end(), '\n') + 1);
    QCOMPARE(pane->font().family(), QStringLiteral("Arial"));
    QCOMPARE(pane->font().pointSizeF(), 8.25);
    QCOMPARE(pane->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);

    // The view has followed the end of the report.
    QVERIFY(pane->verticalScrollBar()->maximum() > 0);
    QCOMPARE(pane->verticalScrollBar()->value(), pane->verticalScrollBar()->maximum());

    // Ctrl+A, Ctrl+C copies the whole report, with the line ends of this desktop.
    QString expected = QString::fromStdString(m_form->PaneText());
    expected.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    pane->setFocus();
    QTest::keyClick(pane, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(pane, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), expected);

    // Back at the top, a double-click takes the word under the mouse and a drag takes lines.
    QTest::keyClick(pane, Qt::Key_Home, Qt::ControlModifier);
    QCOMPARE(pane->verticalScrollBar()->value(), 0);
    const int line = pane->fontMetrics().lineSpacing();
    QTest::mouseDClick(pane->viewport(), Qt::LeftButton, {}, QPoint(6, 3 * line + line / 2));
    QTest::keyClick(pane, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("168"));

    QTest::mousePress(pane->viewport(), Qt::LeftButton, {}, QPoint(1, 3 * line + line / 2));
    QTest::mouseMove(pane->viewport(), QPoint(1, 5 * line + line / 2));
    QTest::mouseRelease(pane->viewport(), Qt::LeftButton, {}, QPoint(1, 5 * line + line / 2));
    QCOMPARE(pane->SelectedText(),
        QStringLiteral("168\t\t 100000 Hz\t1000\t\t 0 Hz        \t0202A2\t003E23\n"
                       "189\t\t 88888.9 Hz\t1125\t\t 0 Hz        \t0202F6\t004617\n"));

    // The context menu offers the same.
    QTimer::singleShot(0, pane, [] {
        if (auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget())) {
            for (QAction *action : menu->actions()) {
                if (action->text() == QStringLiteral("Select All")) {
                    action->trigger();
                }
            }
            menu->close();
        }
    });
    QContextMenuEvent menuEvent(
        QContextMenuEvent::Mouse, QPoint(10, 10), pane->mapToGlobal(QPoint(10, 10)));
    QApplication::sendEvent(pane->viewport(), &menuEvent);
    QCOMPARE(pane->SelectedText(), expected);
}

void TestForm1::overflowRunShowsItsBoxOnce()
{
    Type("Text8", QStringLiteral("2.5e9"));
    Click("Command1");

    QCOMPARE(m_boxes->Boxes().size(), 1);
    const SeenBox &box = m_boxes->Boxes().front();
    QCOMPARE(box.title, QStringLiteral("PLL register ERROR"));
    QCOMPARE(box.text,
        QStringLiteral(
            "N-counter overflow (B-reg > 2047), Increase Ref low or change Prescaler to 64! "));
    QCOMPARE(box.icon, QMessageBox::Critical);
    QCOMPARE(box.buttons, 1);
    QVERIFY(box.applicationModal);

    QCOMPARE(Box("Text10")->text(), QStringLiteral("14"));
    QCOMPARE(Control<QProgressBar>("ProgressBar1")->value(), 441);
    const QString pane = QString::fromStdString(m_form->PaneText());
    QVERIFY(pane.contains(QStringLiteral("441\t\t 38095.2 Hz\t65625\t")));
    QVERIFY2(
        pane.endsWith(QStringLiteral("Over and Out...\r\n")), qPrintable(Tail(m_form->PaneText())));
    QVERIFY(Control<QPushButton>("Command1")->isEnabled());
}

void TestForm1::runWithoutMatchLeavesTheCountAlone()
{
    Type("Text10", QStringLiteral("7"));
    Type("Text8", QStringLiteral("100000001"));
    Click("Command1");
    QCOMPARE(Box("Text10")->text(), QStringLiteral("7"));
    QVERIFY(
        QString::fromStdString(m_form->PaneText()).endsWith(QStringLiteral("Over and Out...\r\n")));
}

void TestForm1::optionChangedDuringRunEntersTheNextRow()
{
    // A hundred thousand dividers, every one a match, most listed. The user picks "Fastlock" while
    // the run is under way: the rows written before the click have no FoLD bit, every row after
    // it has.
    Type("Text8", QStringLiteral("1e6"));
    Type("Text6", QStringLiteral("168"));
    Type("Text9", QStringLiteral("1e9"));
    QTest::mouseClick(Option("Option4"), Qt::LeftButton);
    QRadioButton *fastlock = Option("Option19");
    WhenReportPasses(40'000, [fastlock] { QTest::mouseClick(fastlock, Qt::LeftButton); });
    Click("Command1");
    QVERIFY(fastlock->isChecked());

    const QStringList lines
        = QString::fromStdString(m_form->PaneText()).split(QStringLiteral("\r\n"));
    int before = 0;
    int after = 0;
    for (const QString &line : lines) {
        const QStringList columns = line.split(QLatin1Char('\t'));
        if (columns.size() != 8) {
            continue;
        }
        const bool fastlockBit = (columns[6].toInt(nullptr, 16) & (1 << 21)) != 0;
        QVERIFY2(!fastlockBit || before > 0, "rows were written before the click");
        QVERIFY2(fastlockBit || after == 0, qPrintable(line)); // once set, it stays set
        ++(fastlockBit ? after : before);
    }
    QVERIFY(before > 0);
    QVERIFY(after > 0);
}

// A hundred thousand dividers, every one a match: the window, which turns its event loop and
// draws only now and then, ends with the very report, count and bar of the core.
void TestForm1::longRunMatchesTheCoreByteForByte()
{
    calc::testing::RecordingWindow core;
    core.fields[calc::Box::Text8] = "1e6";
    core.fields[calc::Box::Text6] = "168";
    core.fields[calc::Box::Text9] = "1e9";
    core.Select(calc::OptionButton::Option4);
    calc::RunCalculation(calc::Side::RF, core);

    Type("Text8", QStringLiteral("1e6"));
    Type("Text6", QStringLiteral("168"));
    Type("Text9", QStringLiteral("1e9"));
    QTest::mouseClick(Option("Option4"), Qt::LeftButton);
    Click("Command1");

    QVERIFY(m_form->PaneText() == core.pane);
    QCOMPARE(Box("Text10")->text().toStdString(), core.fields[calc::Box::Text10]);
    QCOMPARE(Box("Text10")->text(), QStringLiteral("99834"));
    QCOMPARE(Control<QProgressBar>("ProgressBar1")->value(), 100'001); // the last divider
    auto *pane = Control<ui::ReportView>("RichTextBox1");
    QCOMPARE(pane->Line(pane->LineCount() - 2), QStringLiteral("Over and Out..."));
}

// The user sets the max error from 1e9 to 0 while the sweep runs: from the next divider on only
// exact matches are listed.
void TestForm1::boxEditedDuringLongRunCountsFromTheNextRead()
{
    Type("Text8", QStringLiteral("1e6"));
    Type("Text6", QStringLiteral("168"));
    Type("Text9", QStringLiteral("1e9"));
    QTest::mouseClick(Option("Option4"), Qt::LeftButton);
    WhenReportPasses(40'000, [this] { Type("Text9", QStringLiteral("0")); });
    Click("Command1");

    // Exact matches come every 84 dividers; inexact rows stop where the edit was read.
    int inexact = 0;
    int exactAfterLastInexact = 0;
    for (const QString &line :
        QString::fromStdString(m_form->PaneText()).split(QStringLiteral("\r\n"))) {
        const QStringList columns = line.split(QLatin1Char('\t'));
        if (columns.size() != 8) {
            continue;
        }
        if (columns[5] == QStringLiteral(" 0 Hz        ")) {
            ++exactAfterLastInexact;
        } else {
            ++inexact;
            exactAfterLastInexact = 0;
        }
    }
    QVERIFY(inexact > 0);
    QVERIFY2(exactAfterLastInexact > 100, "the edit was read long before the end of the sweep");
    QVERIFY(Box("Text10")->text().toInt() < 99834);
}

// A drag over three rows while more arrive selects those three rows, during the run
// and after it.
void TestForm1::dragDuringLongRunSelectsWhatItCovers()
{
    Type("Text8", QStringLiteral("1e6"));
    Type("Text6", QStringLiteral("56")); // three hundred thousand dividers
    Type("Text9", QStringLiteral("1e9"));
    QTest::mouseClick(Option("Option4"), Qt::LeftButton);
    auto *pane = Control<ui::ReportView>("RichTextBox1");
    QWidget *view = pane->viewport();
    const auto rowAt
        = [pane](int row) { return QPoint(2, pane->fontMetrics().lineSpacing() * row + 2); };
    qsizetype pressedAt = 0;
    QString duringRun;
    QTimer timer;
    connect(&timer, &QTimer::timeout, m_form.get(), [&] {
        if (pressedAt == 0 && pane->LineCount() > 1'000) {
            QTest::mousePress(view, Qt::LeftButton, {}, rowAt(2));
            pressedAt = pane->LineCount();
        } else if (pressedAt > 0 && duringRun.isEmpty() && pane->LineCount() > pressedAt + 1'000) {
            QTest::mouseMove(view, rowAt(5));
            QTest::mouseRelease(view, Qt::LeftButton, {}, rowAt(5));
            duringRun = pane->SelectedText();
        }
    });
    timer.start(1);
    Click("Command1");
    QCOMPARE(duringRun.count(QLatin1Char('\n')), 3);
    QCOMPARE(duringRun.count(QLatin1Char('\t')), 3 * 7);
    QCOMPARE(pane->SelectedText(), duringRun);
}

void TestForm1::buttonsAreDisabledOnlyDuringARun()
{
    Type("Text6", QStringLiteral("10")); // long enough for the event loop to turn
    bool disabledDuringRun = false;
    bool secondRunStarted = false;
    QTimer::singleShot(0, m_form.get(), [&] {
        disabledDuringRun = !Control<QPushButton>("Command1")->isEnabled()
            && !Control<QPushButton>("Command2")->isEnabled() && m_form->IsRunning();
        Click("Command2"); // ignored: no IF run inside the RF run
        secondRunStarted = Box("Text11")->text() != QStringLiteral("0");
        Type("Text12", QStringLiteral("5")); // other controls stay usable
    });
    Click("Command1");

    QVERIFY(disabledDuringRun);
    QVERIFY(!secondRunStarted);
    QCOMPARE(Box("Text11")->text(), QStringLiteral("0"));
    QCOMPARE(Box("Text12")->text(), QStringLiteral("5"));
    QVERIFY(QString::fromStdString(m_form->PaneText()).startsWith(QStringLiteral("Xtal")));
    QVERIFY(Control<QPushButton>("Command1")->isEnabled());
    QVERIFY(Control<QPushButton>("Command2")->isEnabled());
    QVERIFY(!m_form->IsRunning());
}

void TestForm1::progressBarClampsWhatItCannotHold()
{
    QProgressBar *bar = Control<QProgressBar>("ProgressBar1");

    // -2^31 / -1 + 1 is beyond an int: the bar holds the largest it can. The test stops the
    // two-billion-divider sweep by making the crystal unreadable.
    Type("Text5", QStringLiteral("-2147483648"));
    Type("Text6", QStringLiteral("-1"));
    Type("Text7", QStringLiteral("-2147483648"));
    QPair<int, int> rangeDuringRun;
    int valueDuringRun = 0;
    QTimer poll; // until the run's first frame shows its range
    connect(&poll, &QTimer::timeout, m_form.get(), [&] {
        if (bar->maximum() != 100) {
            poll.stop();
            rangeDuringRun = { bar->minimum(), bar->maximum() };
            valueDuringRun = bar->value();
            Box("Text5")->setText(QStringLiteral("stop"));
        }
    });
    poll.start(1);
    Click("Command1");
    QCOMPARE(rangeDuringRun, qMakePair(1, std::numeric_limits<int>::max()));
    QVERIFY(valueDuringRun > 1);
    QVERIFY(bar->value() >= valueDuringRun); // the last divider tried
    QCOMPARE(m_boxes->Boxes().size(), 1);

    // A minimum above the maximum shows no progress.
    Type("Text5", QStringLiteral("-16800000"));
    Type("Text6", QStringLiteral("12500"));
    Type("Text7", QStringLiteral("100000"));
    Click("Command1");
    QVERIFY(bar->value() < bar->minimum());

    // A maximum below the minimum the last run left is taken all the same.
    Type("Text5", QStringLiteral("16800000"));
    Click("Command1");
    QCOMPARE(bar->value(), 1345);
    Type("Text5", QStringLiteral("100"));
    Click("Command1");
    QCOMPARE(qMakePair(bar->minimum(), bar->maximum()), qMakePair(0, 1));
    QCOMPARE(bar->value(), 1);
}

void TestForm1::closingDuringALongRunEndsItAtOnce()
{
    // Two billion dividers: long enough to close during it, even at the kernel's speed.
    Type("Text5", QStringLiteral("2147483647"));
    Type("Text6", QStringLiteral("1"));
    Type("Text8", QStringLiteral("1000"));
    QTimer::singleShot(50, m_form.get(), [this] { m_form->close(); });
    Click("Command1");

    QVERIFY(!m_form->isVisible());
    QVERIFY(!m_form->IsRunning());
    QVERIFY(Control<QProgressBar>("ProgressBar1")->value() < 2'000'000'000);
    QVERIFY(m_boxes->Boxes().isEmpty());
    QVERIFY(!QString::fromStdString(m_form->PaneText()).contains(QStringLiteral("Over and Out")));
}

void TestForm1::closingDuringARunQuitsTheProgram()
{
    // Two billion dividers, with no overflow to end them.
    Type("Text5", QStringLiteral("2147483647"));
    Type("Text6", QStringLiteral("1"));
    Type("Text8", QStringLiteral("1000"));
    QTimer::singleShot(0, m_form.get(), [this] { Click("Command1"); });
    QTimer::singleShot(50, m_form.get(), [this] { m_form->close(); });
    QTimer::singleShot(20'000, m_form.get(), [] { QApplication::exit(99); });
    QCOMPARE(QApplication::exec(), 0);
    QVERIFY(!m_form->IsRunning());
    QVERIFY(Control<QProgressBar>("ProgressBar1")->value() < 2'000'000'000);
}

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
