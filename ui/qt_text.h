// SPDX-License-Identifier: MIT
// The one way the window turns the core's and the model's UTF-8 text into Qt's.
#pragma once

#include <QString>

#include <string_view>

namespace ui {

inline QString ToQString(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace ui
