// SPDX-License-Identifier: MIT
#include "ui/option_marker_style.h"

#include <QGroupBox>
#include <QPainter>
#include <QRadioButton>
#include <QStyleOption>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <initializer_list>

namespace ui {
namespace {

// WCAG asks 3:1 of a control's parts; the margin keeps it where anti-aliasing softens an edge.
constexpr double kRingContrast = 3.5;
constexpr double kDotContrast = 4.5;
constexpr double kBorderContrast = 3.2;
// Where a ring or border starts from, as a share of the way from the background to the text: as
// light as the theme's own, and darker only as far as the contrast needs.
constexpr double kQuietShare = 0.3;
constexpr int kMixSteps = 20;
// The marker leaves this much of the theme's indicator square free, and at least a pixel above
// and below it within the button.
constexpr int kMarkerInset = 3;
constexpr double kDotShare = 0.46;
// Fusion draws a frame's border this far below its top, under the title.
constexpr int kFusionFrameTitleGap = 3;
constexpr qreal kFrameCornerRadius = 2.0;

double Luminance(const QColor &colour)
{
    const auto linear = [](double value) {
        return value <= 0.04045 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
    };
    const QColor rgb = colour.toRgb();
    return 0.2126 * linear(rgb.redF()) + 0.7152 * linear(rgb.greenF())
        + 0.0722 * linear(rgb.blueF());
}

QColor Mix(const QColor &from, const QColor &to, double share)
{
    const auto channel
        = [share](float a, float b) { return static_cast<float>(a + (b - a) * share); };
    return QColor::fromRgbF(channel(from.redF(), to.redF()), channel(from.greenF(), to.greenF()),
        channel(from.blueF(), to.blueF()));
}

double LeastContrast(const QColor &colour, std::initializer_list<QColor> grounds)
{
    double least = 21.0;
    for (const QColor &ground : grounds) {
        least = std::min(least, ContrastRatio(colour, ground));
    }
    return least;
}

// The colour nearest `from` on the way to `ink` that keeps `ratio` against every ground; black
// or white, whichever stands out more, where not even the ink does.
QColor Contrasting(
    const QColor &from, const QColor &ink, std::initializer_list<QColor> grounds, double ratio)
{
    for (int step = 0; step <= kMixSteps; ++step) {
        const QColor colour = Mix(from, ink, static_cast<double>(step) / kMixSteps);
        if (LeastContrast(colour, grounds) >= ratio) {
            return colour;
        }
    }
    const QColor black(Qt::black);
    const QColor white(Qt::white);
    return LeastContrast(black, grounds) >= LeastContrast(white, grounds) ? black : white;
}

// A rectangle in the device's own pixels, and the width of a line of one logical pixel there.
struct DevicePixels {
    QRect rect;
    int line = 1;
};

// Makes the painter draw in device pixels, and gives `logical` there, moved onto whole pixels:
// at a scale of 1.25, or on a widget placed at a fractional device pixel, a one-pixel ring
// drawn where it falls would be smeared over two pixels at part of its contrast.
DevicePixels ToDevicePixels(QPainter &painter, const QRectF &logical)
{
    const QTransform toDevice = painter.deviceTransform();
    const QRectF mapped = toDevice.mapRect(logical);
    const qreal scale = std::abs(toDevice.m11());
    const auto side = static_cast<int>(std::lround(logical.width() * scale));
    painter.setWorldTransform(toDevice.inverted() * painter.worldTransform());
    return { QRect(static_cast<int>(std::lround(mapped.left())),
                 static_cast<int>(std::lround(mapped.top())), side,
                 static_cast<int>(std::lround(logical.height() * scale))),
        std::max(static_cast<int>(std::lround(scale)), 1) };
}

} // namespace

double ContrastRatio(const QColor &a, const QColor &b)
{
    const double first = Luminance(a);
    const double second = Luminance(b);
    return (std::max(first, second) + 0.05) / (std::min(first, second) + 0.05);
}

OptionMarkerStyle::OptionMarkerStyle()
    : QProxyStyle(nullptr)
{
}

void OptionMarkerStyle::drawPrimitive(PrimitiveElement element, const QStyleOption *option,
    QPainter *painter, const QWidget *widget) const
{
    if (element == PE_IndicatorRadioButton) {
        DrawMarker(*option, *painter, widget);
    } else if (element == PE_FrameGroupBox
        && baseStyle()->name().compare(QLatin1String("fusion"), Qt::CaseInsensitive) == 0) {
        DrawFrameBorder(*option, *painter);
    } else {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
    }
}

void OptionMarkerStyle::DrawMarker(
    const QStyleOption &option, QPainter &painter, const QWidget *widget) const
{
    // The theme's indicator square may stand out of a low button; the marker keeps within it.
    const QRect square = option.rect;
    const QRect room = widget != nullptr ? square.intersected(widget->rect()) : square;
    const int diameter = std::max(
        std::min(std::min(square.width(), square.height()) - kMarkerInset, room.height() - 2), 2);

    const QPalette &palette = option.palette;
    const QColor window = palette.color(QPalette::Window);
    const QColor base = palette.color(QPalette::Base);
    const QColor fill = (option.state & State_Sunken) != 0 ? Mix(base, window, 0.5) : base;
    const QColor windowText = palette.color(QPalette::WindowText);
    const QColor ring = Contrasting(
        Mix(window, windowText, kQuietShare), windowText, { window, fill }, kRingContrast);

    painter.save();
    const QRect marker(square.left() + (square.width() - diameter) / 2,
        room.top() + (room.height() - diameter) / 2, diameter, diameter);
    const DevicePixels device = ToDevicePixels(painter, QRectF(marker));
    // A ring of whole pixels: a disc of its colour, and the fill's disc inside it.
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(Qt::NoPen);
    painter.setBrush(ring);
    painter.drawEllipse(device.rect);
    painter.setBrush(fill);
    const int line = device.line;
    painter.drawEllipse(device.rect.adjusted(line, line, -line, -line));
    if ((option.state & State_On) != 0) {
        const QColor text = palette.color(QPalette::Text);
        int dot = std::max(static_cast<int>(device.rect.width() * kDotShare), 2);
        dot -= (device.rect.width() - dot) % 2; // centred on whole pixels too
        const int inset = (device.rect.width() - dot) / 2;
        painter.setBrush(Contrasting(text, text, { fill }, kDotContrast));
        painter.drawEllipse(device.rect.adjusted(inset, inset, -inset, -inset));
    }
    painter.restore();
}

// Where Fusion would lay its light border pixmap: below the title, around the contents.
void OptionMarkerStyle::DrawFrameBorder(const QStyleOption &option, QPainter &painter) const
{
    const int titleHeight = std::max(
        baseStyle()->pixelMetric(PM_ExclusiveIndicatorHeight), option.fontMetrics.height());
    const QColor window = option.palette.color(QPalette::Window);
    const QColor text = option.palette.color(QPalette::WindowText);
    painter.save();
    const DevicePixels device = ToDevicePixels(
        painter, QRectF(option.rect.adjusted(0, titleHeight + kFusionFrameTitleGap, 0, 0)));
    const qreal half = device.line / 2.0;
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(
        QPen(Contrasting(Mix(window, text, kQuietShare), text, { window }, kBorderContrast),
            device.line));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(QRectF(device.rect).adjusted(half, half, -half, -half),
        kFrameCornerRadius * device.line, kFrameCornerRadius * device.line);
    painter.restore();
}

void InstallOptionMarkerStyle(QWidget &window)
{
    auto *style = new OptionMarkerStyle;
    style->setParent(&window);
    for (QRadioButton *button : window.findChildren<QRadioButton *>()) {
        button->setStyle(style);
    }
    for (QGroupBox *frame : window.findChildren<QGroupBox *>()) {
        frame->setStyle(style);
    }
}

} // namespace ui
