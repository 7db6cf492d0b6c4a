// SPDX-License-Identifier: MIT
#include "ui/box_palette.h"

namespace ui {
namespace {

// 5.1:1 on white, where WCAG asks 4.5:1 of text.
const QColor kMutedText(0x6e, 0x6e, 0x6e);

} // namespace

QPalette WhiteBoxPalette(QPalette palette)
{
    palette.setColor(QPalette::Base, Qt::white);
    palette.setColor(QPalette::Text, Qt::black);
    palette.setColor(QPalette::Disabled, QPalette::Text, kMutedText);
    palette.setColor(QPalette::PlaceholderText, kMutedText);
    return palette;
}

} // namespace ui
