// SPDX-License-Identifier: MIT
#include "tests/ui/box_watcher.h"

#include <QAbstractButton>
#include <QApplication>

BoxWatcher::BoxWatcher()
{
    m_timer.setInterval(10);
    connect(&m_timer, &QTimer::timeout, this, &BoxWatcher::CloseOpenBoxes);
    m_timer.start();
}

void BoxWatcher::CloseOpenBoxes()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        auto *box = qobject_cast<QMessageBox *>(widget);
        if (box == nullptr || !box->isVisible()) {
            continue;
        }
        m_boxes.append(
            { box->windowTitle(), box->text(), box->icon(), static_cast<int>(box->buttons().size()),
                box->windowModality() == Qt::ApplicationModal });
        if (whileOpen) {
            whileOpen();
        }
        if (QAbstractButton *ok = box->button(QMessageBox::Ok)) {
            ok->click();
        } else {
            box->reject();
        }
    }
}
