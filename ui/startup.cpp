#include "startup.h"

#include "mainwindow.h"

#include <QApplication>
#include <QMessageBox>

int runMainWindow()
{
    std::unique_ptr<MainWindow> window;
    try {
        window = std::make_unique<MainWindow>();
    } catch (const char *text) {
        QMessageBox::critical(nullptr, QStringLiteral("Gleistron Manager"),
                              QString::fromLatin1(text));
        return 1;
    }
    window->show();
    return QApplication::exec();
}
