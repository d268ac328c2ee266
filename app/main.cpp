#include "ui/startup.h"

#include <QApplication>
#include <csignal>

int main(int argc, char *argv[])
{
    // A save beyond a file size limit fails with the system's message, not the window's end.
    std::signal(SIGXFSZ, SIG_IGN);
    QApplication app(argc, argv);
    return runMainWindow();
}
