// SPDX-License-Identifier: MIT
// The window under a German desktop: numbers typed with a decimal comma are read, and the report
// still prints a decimal point. CTest runs this with LC_ALL=de_DE.UTF-8 and a German C library
// locale built into the build tree, so that anything printed through the C library would show
// a comma.
#include "ui/form1.h"

#include <QApplication>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QTest>

#include <clocale>
#include <cstdio>
#include <string>

class TestForm1Locale : public QObject {
    Q_OBJECT

private slots:
    void desktopIsGerman();
    void commaNumbersAreReadAndTheReportKeepsItsPoint();
};

void TestForm1Locale::desktopIsGerman()
{
    QCOMPARE(QLocale::system().decimalPoint(), QStringLiteral(","));
    QCOMPARE(std::string(std::localeconv()->decimal_point), std::string(","));
    char printed[16];
    std::snprintf(printed, sizeof printed, "%.1f", 2.5);
    QCOMPARE(std::string(printed), std::string("2,5")); // the trap the report must avoid
}

void TestForm1Locale::commaNumbersAreReadAndTheReportKeepsItsPoint()
{
    ui::Form1 form;
    form.show();
    form.findChild<QLineEdit *>(QStringLiteral("Text5"))->setText(QStringLiteral("16,8E6"));
    form.findChild<QLineEdit *>(QStringLiteral("Text7"))->setText(QStringLiteral("100.000"));
    form.findChild<QLineEdit *>(QStringLiteral("Text9"))->setText(QStringLiteral("0,5"));
    QTest::mouseClick(form.findChild<QPushButton *>(QStringLiteral("Command1")), Qt::LeftButton);

    // The max-error box reads "0,5" as 0 whatever the locale: only the exact dividers match.
    QCOMPARE(form.findChild<QLineEdit *>(QStringLiteral("Text10"))->text(), QStringLiteral("48"));
    const std::string &report = form.PaneText();
    QVERIFY(report.find("189\t\t 88888.9 Hz\t1125\t") != std::string::npos);
    QVERIFY(report.find("Xtal = 16,8E6 Hz    Freq = 100e6 Hz    Ref low = 12500 Hz    Ref high = "
                        "100.000 Hz    \r\n")
        == 0);
}

QTEST_MAIN(TestForm1Locale)
#include "tst_form1_locale.moc"
