// SPDX-License-Identifier: MIT
// The window on every desktop: its colours under a dark theme, and what assistive technology is
// told of each control.
#include "ui/form1.h"

#include "tests/ui/form1_driver.h"
#include "ui/option_marker_style.h"

#include <QAbstractScrollArea>
#include <QAccessible>
#include <QApplication>
#include <QGroupBox>
#include <QHash>
#include <QImage>
#include <QLabel>
#include <QPalette>
#include <QRadioButton>
#include <QScopeGuard>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <tuple>

namespace {

// The colours a widget paints inside its frame: its commonest pixel, and the pixel whose
// luminance lies farthest from that one, the darkest or lightest stroke of its text.
struct Painted {
    QColor background;
    QColor ink;
};

Painted PaintedColours(QWidget *widget)
{
    constexpr int kFrame = 3;
    const QImage image
        = widget->grab(widget->rect().adjusted(kFrame, kFrame, -kFrame, -kFrame)).toImage();
    QHash<QRgb, int> counts;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            ++counts[image.pixel(x, y)];
        }
    }
    QRgb background = 0;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        if (it.value() > counts.value(background)) {
            background = it.key();
        }
    }
    QRgb ink = background;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        if (std::abs(qGray(it.key()) - qGray(background))
            > std::abs(qGray(ink) - qGray(background))) {
            ink = it.key();
        }
    }
    return { QColor(background), QColor(ink) };
}

bool Near(const QColor &a, const QColor &b)
{
    constexpr int kTolerance = 48; // anti-aliasing may leave a thin stroke short of its colour
    return std::abs(a.red() - b.red()) <= kTolerance
        && std::abs(a.green() - b.green()) <= kTolerance
        && std::abs(a.blue() - b.blue()) <= kTolerance;
}

QPalette DarkPalette()
{
    QPalette dark(QColor(0x35, 0x35, 0x35));
    dark.setColor(QPalette::Base, QColor(0x2d, 0x2d, 0x2d));
    dark.setColor(QPalette::Text, QColor(0xee, 0xee, 0xee));
    dark.setColor(QPalette::WindowText, QColor(0xee, 0xee, 0xee));
    dark.setColor(QPalette::ButtonText, QColor(0xee, 0xee, 0xee));
    dark.setColor(QPalette::PlaceholderText, QColor(0x90, 0x90, 0x90));
    return dark;
}

} // namespace

class TestForm1Desktops : public QObject, private Form1Driver {
    Q_OBJECT

private slots:
    void cleanup();

    void boxesReadInADarkTheme();
    void optionMarkersStandOut_data();
    void optionMarkersStandOut();
    void controlsAreNamedForAssistiveTechnology();
};

void TestForm1Desktops::cleanup()
{
    Close();
}

// The two white boxes keep their white and draw black on it; everything else takes the theme's
// dark background and light text.
void TestForm1Desktops::boxesReadInADarkTheme()
{
    const QPalette theme = QApplication::palette();
    const QPalette dark = DarkPalette();
    QApplication::setPalette(dark);
    const auto restore = qScopeGuard([&theme] { QApplication::setPalette(theme); });
    QVERIFY(Open());
    Click("Command1");

    struct Expected {
        const char *name;
        QColor background;
        QColor text;
    };
    const QList<Expected> controls = {
        { "Text8", Qt::white, Qt::black },
        { "Text13", Qt::white, Qt::black },
        { "Text9", dark.color(QPalette::Base), dark.color(QPalette::Text) },
        { "Text10", dark.color(QPalette::Base), dark.color(QPalette::Text) },
        { "Label12", dark.color(QPalette::Window), dark.color(QPalette::WindowText) },
        { "RichTextBox1", dark.color(QPalette::Base), dark.color(QPalette::Text) },
    };
    for (const Expected &control : controls) {
        QWidget *widget = Control<QWidget>(control.name);
        if (auto *pane = qobject_cast<QAbstractScrollArea *>(widget)) {
            widget = pane->viewport(); // the text, without the scroll bars
        }
        const Painted painted = PaintedColours(widget);
        QVERIFY2(painted.background == control.background,
            qPrintable(
                QStringLiteral("%1 background %2").arg(control.name, painted.background.name())));
        QVERIFY2(Near(painted.ink, control.text),
            qPrintable(QStringLiteral("%1 text %2").arg(control.name, painted.ink.name())));
    }

    // Disabled and placeholder text stay readable on the white boxes, too.
    const QPalette box = Box("Text8")->palette();
    for (QPalette::ColorGroup group :
        { QPalette::Active, QPalette::Inactive, QPalette::Disabled }) {
        QCOMPARE(box.color(group, QPalette::Base), QColor(Qt::white));
        QVERIFY(box.color(group, QPalette::Text).lightness() < 128);
        QVERIFY(box.color(group, QPalette::PlaceholderText).lightness() < 128);
    }
}

void TestForm1Desktops::optionMarkersStandOut_data()
{
    QTest::addColumn<bool>("dark");
    QTest::newRow("light theme") << false;
    QTest::newRow("dark theme") << true;
}

// Every option button shows its whole marker, round, whatever its height and the screen's scale;
// its ring, the dot of the selected one and the frames' borders keep 3:1 against what surrounds
// them, so that which option is chosen reads at a glance.
void TestForm1Desktops::optionMarkersStandOut()
{
    QFETCH(bool, dark);
    QCOMPARE(ui::ContrastRatio(Qt::black, Qt::white), 21.0);
    const QPalette theme = QApplication::palette();
    QApplication::setPalette(dark ? DarkPalette() : theme);
    const auto restore = qScopeGuard([&theme] { QApplication::setPalette(theme); });
    QVERIFY(Open());
    const auto contrast = [](QRgb a, QRgb b) { return ui::ContrastRatio(QColor(a), QColor(b)); };

    // Each image's top right corner shows what surrounds the marker or the border.
    for (QRadioButton *button : m_form->findChildren<QRadioButton *>()) {
        const QImage image = button->grab().toImage();
        const QRgb background = image.pixel(image.width() - 1, 0);
        const qreal scale = image.devicePixelRatio();
        QRect marker;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0;
                 x < button->style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth) * scale;
                 ++x) {
                if (contrast(image.pixel(x, y), background) > 1.1) {
                    marker |= QRect(x, y, 1, 1);
                }
            }
        }
        const QString name = button->objectName();
        QVERIFY2(marker.top() > 0 && marker.bottom() < image.height() - 1, qPrintable(name));
        QVERIFY2(std::abs(marker.width() - marker.height()) <= 1, qPrintable(name));

        // Along the middle row: the ring from the left edge in, then the fill inside it.
        const int middle = marker.center().y();
        const QRgb fill = image.pixel(marker.left() + marker.width() / 5, middle);
        double ring = 0;
        for (int x = marker.left(); x <= marker.left() + static_cast<int>(std::ceil(scale)); ++x) {
            const QRgb pixel = image.pixel(x, middle);
            ring = std::max(ring, std::min(contrast(pixel, background), contrast(pixel, fill)));
        }
        QVERIFY2(ring >= 3.0, qPrintable(QStringLiteral("%1 ring %2").arg(name).arg(ring)));
        const double dot = contrast(image.pixel(marker.center()), fill);
        QVERIFY2(button->isChecked() ? dot >= 3.0 : dot < 1.2,
            qPrintable(QStringLiteral("%1 dot %2").arg(name).arg(dot)));
    }

    for (QGroupBox *frame : m_form->findChildren<QGroupBox *>()) {
        const QImage image = frame->grab().toImage();
        const QRgb background = image.pixel(image.width() - 1, 0);
        double border = 0;
        for (int x = 0; x < 3 * image.devicePixelRatio(); ++x) {
            border = std::max(border, contrast(image.pixel(x, image.height() / 2), background));
        }
        QVERIFY2(border >= 3.0, qPrintable(frame->objectName()));
    }
}

// What a screen reader says of each control: its role and name. A box is named by the caption
// beside it and an option group by its own frame, not by the side frame around them; the result
// pane is a text.
void TestForm1Desktops::controlsAreNamedForAssistiveTechnology()
{
    QVERIFY(Open());
    using R = QAccessible::Role;
    const QList<std::tuple<const char *, R, QString>> controls = {
        { "Frame2", R::Grouping, "Reference Setting" },
        { "Label7", R::StaticText, "Crystal Frequency (Hz) :" },
        { "Text5", R::EditableText, "Crystal Frequency (Hz)" },
        { "Frame3", R::Grouping, "RF Setting" },
        { "Text6", R::EditableText, "RF Ref low (Hz)" },
        { "Text7", R::EditableText, "RF Ref high (Hz)" },
        { "Text8", R::EditableText, "RF Freq (MHz)" },
        { "Text9", R::EditableText, "RF Max Error (Hz)" },
        { "Text10", R::EditableText, "RF Nr of match" },
        { "Frame4", R::Grouping, "Charge Pump Current" },
        { "Frame5", R::Grouping, "Prescaler" },
        { "Option3", R::RadioButton, "32/33" },
        { "Frame7", R::Grouping, "Phase Polarity" },
        { "Frame8", R::Grouping, "3-state" },
        { "Frame6", R::Grouping, "Power" },
        { "Command1", R::Button, "Calculate RF" },
        { "Frame10", R::Grouping, "IF Setting" },
        { "Text15", R::EditableText, "IF Ref low (Hz)" },
        { "Text14", R::EditableText, "IF Ref high (Hz)" },
        { "Text13", R::EditableText, "IF Freq (MHz)" },
        { "Text12", R::EditableText, "IF Max Error (Hz)" },
        { "Text11", R::EditableText, "IF Nr of match" },
        { "Frame15", R::Grouping, "Charge Pump Current" },
        { "Frame14", R::Grouping, "Prescaler" },
        { "Frame12", R::Grouping, "Phase Polarity" },
        { "Frame11", R::Grouping, "3-state" },
        { "Frame13", R::Grouping, "Power" },
        { "Command2", R::Button, "Calculate IF" },
        { "Frame9", R::Grouping, "Output FoLD" },
        { "Option19", R::RadioButton, "Fastlock" },
        { "ProgressBar1", R::ProgressBar, "Progress" },
        { "RichTextBox1", R::EditableText, "Report" },
    };
    for (const auto &[name, role, accessibleName] : controls) {
        QAccessibleInterface *accessible
            = QAccessible::queryAccessibleInterface(Control<QWidget>(name));
        QVERIFY2(accessible != nullptr, name);
        QCOMPARE(accessible->role(), role);
        QCOMPARE(accessible->text(QAccessible::Name), accessibleName);
    }

    // The caption beside a box labels it, so that a reader can go from one to the other.
    QAccessibleInterface *box = QAccessible::queryAccessibleInterface(Control<QWidget>("Text10"));
    QList<QObject *> labels;
    for (const auto &[label, relation] : box->relations(QAccessible::Label)) {
        labels << label->object();
    }
    QVERIFY(labels.contains(Control<QWidget>("Label14")));

    // The pane reads out the report as it shows it, a line to each LF.
    Click("Command1");
    QString report = QString::fromStdString(m_form->PaneText());
    report.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QAccessibleInterface *pane
        = QAccessible::queryAccessibleInterface(Control<QWidget>("RichTextBox1"));
    QCOMPARE(pane->textInterface()->text(0, -1), report);
}

QTEST_MAIN(TestForm1Desktops)
#include "tst_form1_desktops.moc"
