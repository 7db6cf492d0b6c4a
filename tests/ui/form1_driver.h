// SPDX-License-Identifier: MIT
// Drives a real Form1 as its user does: finds controls by name, clicks and types; closes the
// run's message boxes as they appear and keeps what they said.
#pragma once

#include "tests/ui/box_watcher.h"
#include "ui/form1.h"

#include <QApplication>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <functional>

#include <memory>

class Form1Driver {
protected:
    // Call from the test's init() and cleanup().
    bool Open()
    {
        m_form = std::make_unique<ui::Form1>();
        m_form->show();
        QApplication::setActiveWindow(m_form.get());
        m_boxes = std::make_unique<BoxWatcher>();
        return QTest::qWaitForWindowExposed(m_form.get());
    }

    void Close()
    {
        m_boxes.reset();
        m_form.reset();
    }

    template <typename T> T *Control(const char *name)
    {
        T *control = m_form->findChild<T *>(QString::fromLatin1(name));
        if (control == nullptr) {
            qFatal("no control %s", name);
        }
        return control;
    }
    QLineEdit *Box(const char *name) { return Control<QLineEdit>(name); }
    QRadioButton *Option(const char *name) { return Control<QRadioButton>(name); }
    void Click(const char *name) { QTest::mouseClick(Control<QWidget>(name), Qt::LeftButton); }
    void Type(const char *box, const QString &text)
    {
        Box(box)->selectAll();
        QTest::keyClicks(Box(box), text);
    }

    // Does what a user does on seeing a match counter pass `count` during a run: the counter
    // shows a run's progress whatever the speed of the machine, where a timer would not.
    // Does `action` once the run has written more than `lines` lines: the report, unlike the
    // boxes, which show what the run sets only at its frames, grows at every row.
    void WhenReportPasses(std::size_t lines, std::function<void()> action)
    {
        auto *timer = new QTimer(m_form.get());
        QObject::connect(timer, &QTimer::timeout, m_form.get(), [=, this] {
            if (m_form->Model().Pane().Report().LineCount() > lines) {
                timer->deleteLater();
                timer->stop();
                action();
            }
        });
        timer->start(1);
    }

    std::unique_ptr<ui::Form1> m_form;
    std::unique_ptr<BoxWatcher> m_boxes;
};
