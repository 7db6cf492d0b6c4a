// SPDX-License-Identifier: MIT
// How the window draws its option buttons' markers and its frames' borders. The layout gives
// several option buttons 13 pixels of height, less than a theme's marker, which they cut; and a
// theme's grey ring or border may all but vanish on a dark background, though which prescaler,
// polarity or FoLD mode is chosen goes into the register words. This style draws each marker
// whole, centred in its button, and its ring, its dot and the frames' borders in colours that
// keep WCAG's 3:1 for parts of a control against what lies around them, in light and dark themes.
#pragma once

#include <QColor>
#include <QProxyStyle>

class QWidget;

namespace ui {

class OptionMarkerStyle : public QProxyStyle {
    Q_OBJECT

public:
    // Draws over the application's style, which does everything else.
    OptionMarkerStyle();

    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
        const QWidget *widget = nullptr) const override;

private:
    void DrawMarker(const QStyleOption &option, QPainter &painter, const QWidget *widget) const;
    void DrawFrameBorder(const QStyleOption &option, QPainter &painter) const;
};

// Gives every option button and frame under `window` the style, which the window then owns.
void InstallOptionMarkerStyle(QWidget &window);

// WCAG's contrast ratio of two colours: 1 for the same luminance, 21 for black on white.
double ContrastRatio(const QColor &a, const QColor &b);

} // namespace ui
