// SPDX-License-Identifier: MIT
#include "ui/accessible_names.h"

#include "form/accessible_names.h"
#include "form/layout.h"
#include "ui/qt_text.h"

#include <QLabel>
#include <QWidget>

#include <string_view>

namespace ui {
namespace {

} // namespace

void NameForAssistiveTechnology(QWidget &window)
{
    for (const form::ControlRow &row : form::kControls) {
        switch (row.kind) {
        case form::ControlKind::Label:
        case form::ControlKind::Option:
        case form::ControlKind::Button:
            continue; // their own caption names them
        case form::ControlKind::TextBox:
            if (const form::ControlRow *caption = form::CaptionOf(row)) {
                window.findChild<QLabel *>(ToQString(caption->name))
                    ->setBuddy(window.findChild<QWidget *>(ToQString(row.name)));
            }
            break;
        case form::ControlKind::Frame:
        case form::ControlKind::ProgressBar:
        case form::ControlKind::ResultPane:
            break;
        }
        window.findChild<QWidget *>(ToQString(row.name))
            ->setAccessibleName(ToQString(form::AccessibleName(row)));
    }
}

} // namespace ui
