// SPDX-License-Identifier: MIT
// Writes a picture of the window after a "Calculate RF" with the start-up settings, for the
// README: form1_screenshot <file.png>.
#include "ui/form1.h"

#include <QApplication>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>

#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: form1_screenshot <file.png>\n");
        return 2;
    }
    const QString path = QString::fromLocal8Bit(argv[1]);
    ui::Form1 form;
    form.show();
    int status = 1;
    QTimer::singleShot(200, &form, [&] {
        form.findChild<QPushButton *>(QStringLiteral("Command1"))->click();
        QApplication::processEvents(); // the pane lays out its scroll bars
        status = form.grab().save(path) ? 0 : 1;
        form.close();
    });
    QApplication::exec();
    return status;
}
