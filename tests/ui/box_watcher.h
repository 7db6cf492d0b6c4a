// SPDX-License-Identifier: MIT
// Closes the run's message boxes as they appear and remembers what they said, so that a test
// with a box neither hangs nor misses one it did not expect.
#pragma once

#include <QMessageBox>
#include <QObject>
#include <QString>
#include <QTimer>
#include <QVector>

#include <functional>

struct SeenBox {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    int buttons = 0;
    bool applicationModal = false;
};

class BoxWatcher : public QObject {
public:
    BoxWatcher();
    const QVector<SeenBox> &Boxes() const { return m_boxes; }
    // Called while a box is open, before it is closed.
    std::function<void()> whileOpen;

private:
    void CloseOpenBoxes();

    QTimer m_timer;
    QVector<SeenBox> m_boxes;
};
