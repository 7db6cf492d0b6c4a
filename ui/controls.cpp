// SPDX-License-Identifier: MIT
#include "ui/controls.h"

#include "ui/box_palette.h"
#include "ui/qt_text.h"
#include "ui/report_view.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>

#include <limits>

namespace ui {
namespace {

QWidget *CreateControl(const form::ControlRow &row, QWidget *parent, form::PaneModel &pane)
{
    const QString caption = ToQString(row.caption);
    switch (row.kind) {
    case form::ControlKind::Frame:
        return new QGroupBox(caption, parent);
    case form::ControlKind::Label: {
        auto *label = new QLabel(caption, parent);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return label;
    }
    case form::ControlKind::TextBox: {
        auto *box = new QLineEdit(parent);
        box->setMaxLength(std::numeric_limits<int>::max()); // any text of any length
        if (row.whiteBackground) {
            box->setPalette(WhiteBoxPalette(box->palette()));
        }
        return box;
    }
    case form::ControlKind::Option:
        return new QRadioButton(caption, parent);
    case form::ControlKind::Button:
        return new QPushButton(caption, parent);
    case form::ControlKind::ProgressBar: {
        auto *bar = new QProgressBar(parent);
        bar->setTextVisible(false);
        return bar;
    }
    case form::ControlKind::ResultPane:
        break;
    }
    return new ReportView(pane, parent);
}

} // namespace

Controls CreateControls(QWidget &window, form::PaneModel &pane)
{
    Controls controls {};
    for (std::size_t i = 0; i < form::kControlCount; ++i) {
        const form::ControlRow &row = form::kControls.at(i);
        const form::ControlId container = form::ContainerOf(static_cast<form::ControlId>(i));
        QWidget *control = controls.at(i) = CreateControl(
            row, container == form::kForm1 ? &window : controls.at(form::Index(container)), pane);
        control->setObjectName(ToQString(row.name));
        control->setGeometry(form::Pixels(row.left), form::Pixels(row.top), form::Pixels(row.width),
            form::Pixels(row.height));
    }
    for (std::size_t i = 1; i < form::kFocusOrder.size(); ++i) {
        QWidget::setTabOrder(controls.at(form::Index(form::kFocusOrder.at(i - 1))),
            controls.at(form::Index(form::kFocusOrder.at(i))));
    }
    return controls;
}

void ConnectControls(const Controls &controls, form::Window &window, QObject &context)
{
    // Qt's own rule lets Tab in at the button of a group that last had the focus.
    const auto followTabStops = [&controls, &window] {
        for (const form::ControlId id : form::kFocusOrder) {
            controls.at(form::Index(id))
                ->setFocusPolicy(window.IsTabStop(id) ? Qt::StrongFocus : Qt::ClickFocus);
        }
    };
    followTabStops();
    for (std::size_t i = 0; i < form::kControlCount; ++i) {
        const auto id = static_cast<form::ControlId>(i);
        QWidget *control = controls.at(i);
        switch (form::kControls.at(i).kind) {
        case form::ControlKind::TextBox:
            QObject::connect(static_cast<QLineEdit *>(control), &QLineEdit::textChanged, &context,
                [&window, id](const QString &text) { window.BoxEdited(id, text.toStdString()); });
            break;
        case form::ControlKind::Option:
            QObject::connect(static_cast<QRadioButton *>(control), &QRadioButton::toggled, &context,
                [&window, id, followTabStops](bool on) {
                    if (on) {
                        window.OptionChosen(id);
                    }
                    followTabStops();
                });
            break;
        case form::ControlKind::Button:
            QObject::connect(static_cast<QPushButton *>(control), &QPushButton::clicked, &context,
                [&window, id] { window.ButtonClicked(id); });
            break;
        default:
            break;
        }
    }
}

} // namespace ui
