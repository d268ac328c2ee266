#pragma once

#include <QDir>
#include <QTemporaryDir>
#include <QWidget>
#include <QtGlobal>

// The window reads settings.ini from, and prints into, its working directory: each test gets
// an empty one of its own.
class WorkingDirectory
{
public:
    WorkingDirectory() : previous(QDir::currentPath()) { QDir::setCurrent(dir.path()); }
    ~WorkingDirectory() { QDir::setCurrent(previous); }
    QString filePath(const QString &name) const { return dir.filePath(name); }

private:
    QTemporaryDir dir;
    QString previous;
};

// A widget of the window by object name; a missing one ends the test program.
template <typename T> T *find(QWidget &window, const char *name)
{
    T *child = window.findChild<T *>(QLatin1String(name));
    if (!child)
        qFatal("no widget %s", name);
    return child;
}
