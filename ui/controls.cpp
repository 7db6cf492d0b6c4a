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

#include <algorithm>
#include <limits>
#include <utility>
#include <vector>

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
    std::vector<std::pair<int, QWidget *>> focusOrder;
    for (std::size_t i = 0; i < form::kControlCount; ++i) {
        const form::ControlRow &row = form::kControls.at(i);
        const form::ControlId container = form::ContainerOf(static_cast<form::ControlId>(i));
        QWidget *control = controls.at(i) = CreateControl(
            row, container == form::kForm1 ? &window : controls.at(form::Index(container)), pane);
        control->setObjectName(ToQString(row.name));
        control->setGeometry(form::Pixels(row.left), form::Pixels(row.top), form::Pixels(row.width),
            form::Pixels(row.height));
        if (control->focusPolicy() != Qt::NoFocus) {
            focusOrder.emplace_back(row.tabIndex, control);
        }
    }
    std::sort(focusOrder.begin(), focusOrder.end(),
        [](const auto &a, const auto &b) { return a.first < b.first; });
    for (std::size_t i = 1; i < focusOrder.size(); ++i) {
        QWidget::setTabOrder(focusOrder[i - 1].second, focusOrder[i].second);
    }
    return controls;
}

} // namespace ui
