// SPDX-License-Identifier: MIT
#include "ui/form1.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // PLL_APP_ID comes from CMake: the desktop entry and the icon are named by it.
    QGuiApplication::setDesktopFileName(QStringLiteral(PLL_APP_ID));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/" PLL_APP_ID ".svg")));
    ui::Form1 form;
    form.show();
    return QApplication::exec();
}
