#pragma once

#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

// A gleistron-sim of its own for one test, with its ports under a temporary link directory.
class SimProcess
{
public:
    explicit SimProcess(const QStringList &arguments = {});
    ~SimProcess();

    bool start(); // waits for READY
    void stop();
    QString ports() const { return portList.join(QLatin1Char(',')); }
    QString linkDir() const { return dir.path(); }

private:
    QStringList arguments;
    QTemporaryDir dir;
    QProcess process;
    QStringList portList;
};

// Points our adapter library at the given ports for the life of the object.
class ScopedPorts
{
public:
    explicit ScopedPorts(const QString &ports);
    ~ScopedPorts();

private:
    QByteArray previous;
    bool hadPrevious;
};
