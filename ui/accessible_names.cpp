// SPDX-License-Identifier: MIT
#include "ui/accessible_names.h"

#include "calc/side_profile.h"
#include "ui/form1_layout.h"

#include <QGroupBox>
#include <QLabel>
#include <QWidget>

#include <string_view>

namespace ui {
namespace {

QString ToQString(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The label a sighted user reads a box by: in the same frame, on the same row, the nearest one
// to the box's left.
const ControlRow *CaptionOf(const ControlRow &box)
{
    const ControlRow *caption = nullptr;
    for (const ControlRow &row : kControls) {
        const bool sameRow = row.top < box.top + box.height && box.top < row.top + row.height;
        if (row.kind == ControlKind::Label && row.container == box.container && sameRow
            && row.left < box.left && (caption == nullptr || row.left > caption->left)) {
            caption = &row;
        }
    }
    return caption;
}

// "RF " or "IF " for a box that belongs to one side; nothing for the crystal box they share.
QString SideOf(const QString &box)
{
    for (calc::Side side : { calc::Side::RF, calc::Side::IF }) {
        const calc::SideProfile &profile = calc::ProfileOf(side);
        for (calc::Box own : { profile.wanted.box, profile.refLow.box, profile.refHigh.box,
                 profile.maxError.box, profile.matchCount }) {
            if (box == QStringLiteral("Text%1").arg(static_cast<int>(own))) {
                return ToQString(profile.name) + QLatin1Char(' ');
            }
        }
    }
    return {};
}

} // namespace

void NameForAssistiveTechnology(QWidget &form)
{
    for (const ControlRow &row : kControls) {
        auto *control = form.findChild<QWidget *>(ToQString(row.name));
        switch (row.kind) {
        case ControlKind::Frame:
            control->setAccessibleName(qobject_cast<QGroupBox *>(control)->title());
            break;
        case ControlKind::TextBox:
            if (const ControlRow *caption = CaptionOf(row)) {
                auto *label = form.findChild<QLabel *>(ToQString(caption->name));
                label->setBuddy(control);
                QString name = label->text();
                if (name.endsWith(QLatin1String(" :"))) {
                    name.chop(2);
                }
                control->setAccessibleName(SideOf(control->objectName()) + name);
            }
            break;
        case ControlKind::ProgressBar:
            control->setAccessibleName(QStringLiteral("Progress"));
            break;
        case ControlKind::ResultPane:
            control->setAccessibleName(QStringLiteral("Report"));
            break;
        case ControlKind::Label:
        case ControlKind::Option:
        case ControlKind::Button:
            break; // their own caption names them
        }
    }
}

} // namespace ui
