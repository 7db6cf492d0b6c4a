// SPDX-License-Identifier: MIT
#include "ui/window_font.h"

#include "form/layout.h"

#include <QAbstractButton>
#include <QFont>
#include <QGroupBox>
#include <QLabel>
#include <QWidget>

namespace ui {
namespace {

constexpr const char *kWindowFontFamily = "Liberation Sans";
// A frame's title is drawn inset from its left and right edges.
constexpr int kFrameTitleMargin = 8;

bool CaptionsFit(const QWidget &window)
{
    for (const QWidget *control : window.findChildren<QWidget *>()) {
        if (qobject_cast<const QLabel *>(control)
            || qobject_cast<const QAbstractButton *>(control)) {
            if (control->sizeHint().width() > control->width()) {
                return false;
            }
        } else if (const auto *frame = qobject_cast<const QGroupBox *>(control)) {
            const int title = frame->fontMetrics().horizontalAdvance(frame->title());
            if (title + 2 * kFrameTitleMargin > frame->width()) {
                return false;
            }
        }
    }
    return true;
}

} // namespace

void FitWindowFont(QWidget &window)
{
    QFont font(QString::fromLatin1(kWindowFontFamily));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(form::FittingWindowFontPoints([&](double points) {
        font.setPointSizeF(points);
        window.setFont(font);
        return CaptionsFit(window);
    }));
    window.setFont(font);
}

} // namespace ui
