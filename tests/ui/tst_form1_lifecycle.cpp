// SPDX-License-Identifier: MIT
// Whatever the user types, pastes, clicks or closes, the window stays whole: every run ends
// with its footer or with the window, every error reaches the user as a box, and the window is
// usable after it.
#include "tests/ui/form1_driver.h"
#include "ui/report_view.h"

#include <QClipboard>
#include <QPushButton>
#include <QTimer>

#include <string>

class TestForm1Lifecycle : public QObject, private Form1Driver {
    Q_OBJECT

private slots:
    void init() { QVERIFY(Open()); }
    void cleanup() { Close(); }

    void unusableSettingsReachTheUserAsBoxes_data();
    void unusableSettingsReachTheUserAsBoxes();
    void runAfterAFailedRunIsWhole();
    void megabytePastedIntoABoxIsTakenWhole();
    void overflowBoxDuringEditsBlocksTheWindowAndEndsTheRun();
    void reportTooLongToKeepStopsTheSweep();

private:
    // A click as the platform delivers it, to the window rather than straight to the control,
    // so that a modal box can block it.
    void ClickThroughWindow(const char *name)
    {
        QWidget *control = Control<QWidget>(name);
        const QPoint at = control->mapTo(m_form.get(), control->rect().center());
        QTest::mouseClick(m_form->windowHandle(), Qt::LeftButton, {}, at);
    }
    bool FooterWritten()
    {
        const auto *pane = Control<ui::ReportView>("RichTextBox1");
        return pane->LineCount() >= 2
            && pane->Line(pane->LineCount() - 2) == QStringLiteral("Over and Out...");
    }
    bool ButtonsEnabled()
    {
        return Control<QPushButton>("Command1")->isEnabled()
            && Control<QPushButton>("Command2")->isEnabled();
    }
};

void TestForm1Lifecycle::unusableSettingsReachTheUserAsBoxes_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");

    QTest::newRow("ref high not a number") << "Command1"
                                           << "Text7"
                                           << "abc"
                                           << R"(Ref high (Hz) : "abc" is not a number)";
    QTest::newRow("crystal empty") << "Command2"
                                   << "Text5"
                                   << ""
                                   << R"(Crystal Frequency (Hz) : "" is not a number)";
    QTest::newRow("ref low zero")
        << "Command1"
        << "Text6"
        << "0"
        << R"(Ref low (Hz) : "0" is 0, and the crystal frequency cannot be divided by 0)";
    QTest::newRow("IF ref high zero")
        << "Command2"
        << "Text14"
        << "0.2"
        << R"(Ref high (Hz) : "0.2" is 0, and the crystal frequency cannot be divided by 0)";
    QTest::newRow("crystal beyond 32 bits")
        << "Command1"
        << "Text5"
        << "3e9"
        << R"(Crystal Frequency (Hz) : "3e9" is beyond the 32-bit range)";
    QTest::newRow("wanted with its unit") << "Command1"
                                          << "Text8"
                                          << "100 MHz"
                                          << R"(Freq (MHz) : "100 MHz" is not a number)";
    QTest::newRow("IF wanted too large") << "Command2"
                                         << "Text13"
                                         << "1e999"
                                         << R"(Freq (MHz) : "1e999" is too large)";
    QTest::newRow("N beyond 32 bits")
        << "Command1"
        << "Text8"
        << "1e15"
        << R"(N-counter beyond the 32-bit range at R = 168 (Freq (MHz) : "1e15", Crystal Frequency (Hz) : "16800000"))";
    QTest::newRow("overflow of the B counter")
        << "Command2"
        << "Text13"
        << "1e10"
        << "N-counter overflow (B-reg > 2047), Increase Ref low or change Prescaler to 16! ";
}

void TestForm1Lifecycle::unusableSettingsReachTheUserAsBoxes()
{
    QFETCH(QString, button);
    QFETCH(QString, box);
    QFETCH(QString, text);
    QFETCH(QString, message);

    const QString before = Box(qPrintable(box))->text();
    Box(qPrintable(box))->setText(text);
    Click(qPrintable(button));
    QCOMPARE(m_boxes->Boxes().size(), 1);
    QCOMPARE(m_boxes->Boxes().front().title, QStringLiteral("PLL register ERROR"));
    QCOMPARE(m_boxes->Boxes().front().text, message);
    QCOMPARE(m_boxes->Boxes().front().icon, QMessageBox::Critical);
    QVERIFY(FooterWritten());
    QVERIFY(ButtonsEnabled());

    // The window is as usable as before: put the text back and the run is the start-up one.
    Box(qPrintable(box))->setText(before);
    Click(qPrintable(button));
    QCOMPARE(m_boxes->Boxes().size(), 1);
    QCOMPARE(Box(button == QStringLiteral("Command1") ? "Text10" : "Text11")->text(),
        QStringLiteral("48"));
}

void TestForm1Lifecycle::runAfterAFailedRunIsWhole()
{
    Type("Text9", QStringLiteral("1e9"));
    Type("Text5", QStringLiteral("16,8 MHz")); // as a datasheet writes it
    Click("Command1");
    QCOMPARE(m_boxes->Boxes().size(), 1);
    QCOMPARE(Box("Text10")->text(), QStringLiteral("0"));

    Type("Text5", QStringLiteral("16800000"));
    Click("Command1");
    QCOMPARE(Box("Text10")->text(), QStringLiteral("1178")); // every divider within 1e9 Hz
    QVERIFY(FooterWritten());
    QCOMPARE(m_boxes->Boxes().size(), 1);
}

void TestForm1Lifecycle::megabytePastedIntoABoxIsTakenWhole()
{
    const QString page(1 << 20, QLatin1Char('7'));
    QApplication::clipboard()->setText(page);
    Box("Text7")->selectAll();
    QTest::keyClick(Box("Text7"), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(Box("Text7")->text().size(), page.size());

    Click("Command1");
    QCOMPARE(m_boxes->Boxes().size(), 1);
    QCOMPARE(m_boxes->Boxes().front().text,
        QStringLiteral(R"(Ref high (Hz) : "%1..." is beyond the 32-bit range)")
            .arg(QString(40, QLatin1Char('7'))));
    const std::string report = m_form->PaneText();
    QVERIFY(report.find(" Hz    Ref high = " + page.toStdString() + " Hz    \r\n")
        != std::string::npos);
    QVERIFY(FooterWritten());
    QVERIFY(ButtonsEnabled());
}

// A million dividers, the exact ones listed, until the B counter overflows near the end. The
// user changes options and boxes while the run goes on; the overflow box blocks the window
// while it is open, and the run still ends with its footer.
void TestForm1Lifecycle::overflowBoxDuringEditsBlocksTheWindowAndEndsTheRun()
{
    Type("Text8", QStringLiteral("1.1e6"));
    Type("Text6", QStringLiteral("10"));
    QTimer::singleShot(0, m_form.get(), [this] {
        QTest::mouseClick(Option("Option2"), Qt::LeftButton); // RF charge pump "High"
        Type("Text13", QStringLiteral("2e9"));
    });
    ClickThroughWindow("Option28"); // without a box such a click does select
    QVERIFY(Option("Option28")->isChecked());
    bool clickedThroughTheBox = false;
    m_boxes->whileOpen = [this, &clickedThroughTheBox] {
        ClickThroughWindow("Option5"); // RF power "Down"
        clickedThroughTheBox = Option("Option5")->isChecked();
    };
    Click("Command1");

    QCOMPARE(m_boxes->Boxes().size(), 1);
    QCOMPARE(m_boxes->Boxes().front().text,
        QStringLiteral(
            "N-counter overflow (B-reg > 2047), Increase Ref low or change Prescaler to 64! "));
    QVERIFY(!clickedThroughTheBox);
    QVERIFY(Option("Option6")->isChecked());
    QVERIFY(Option("Option2")->isChecked());
    QCOMPARE(Box("Text13")->text(), QStringLiteral("2e9"));
    QVERIFY(FooterWritten());
    QVERIFY(ButtonsEnabled());

    // The last row is the divider that overflowed, with the charge pump bit the user set.
    const auto *pane = Control<ui::ReportView>("RichTextBox1");
    const QStringList last = pane->Line(pane->LineCount() - 10).split(QLatin1Char('\t'));
    QCOMPARE(last.size(), 8);
    QVERIFY(last[3].toInt() > 65535);
    const qint64 r = last[0].toLongLong();
    QCOMPARE(
        last[6].toLongLong(nullptr, 16), r * 4 + 2 + (1 << 17) + (1 << 18)); // R carries, summed
}

// A window that keeps at most a megabyte of report, and a sweep that lists three and a half.
void TestForm1Lifecycle::reportTooLongToKeepStopsTheSweep()
{
    m_form->SetLargestReport(std::size_t { 1 } << 20);
    Type("Text8", QStringLiteral("1e6"));
    Type("Text6", QStringLiteral("168"));
    Type("Text9", QStringLiteral("1e9"));
    QTest::mouseClick(Option("Option4"), Qt::LeftButton);
    Click("Command1");

    QCOMPARE(m_boxes->Boxes().size(), 1);
    QVERIFY(m_boxes->Boxes().front().text.startsWith(
        QStringLiteral("The report has grown beyond 1 MiB")));
    QVERIFY(FooterWritten());
    QVERIFY(ButtonsEnabled());
    const std::size_t size = m_form->PaneText().size();
    QVERIFY(size > (std::size_t { 1 } << 20));
    QVERIFY(size < (std::size_t { 1 } << 20) + 1000);

    Type("Text9", QStringLiteral("0")); // a short report is untouched
    Click("Command1");
    QCOMPARE(m_boxes->Boxes().size(), 1);
    QVERIFY(FooterWritten());
}

QTEST_MAIN(TestForm1Lifecycle)
#include "tst_form1_lifecycle.moc"
