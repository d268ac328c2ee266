#pragma once

#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

// A gleistron-sim of its own for one test, with its ports under a temporary link directory.
// The station refuses requests that the command tables do not allow; a test whose station
// refused anything fails, unless the test said how many refusals it provokes.
class SimProcess
{
public:
    explicit SimProcess(const QStringList &arguments = {});
    ~SimProcess();

    bool start(); // waits for READY
    void stop();  // also reads the station's count of refused requests
    QString ports() const { return portList.join(QLatin1Char(',')); }
    QString linkDir() const { return dir.path(); }

    void expectRejections(int n) { expected = n; }
    int rejected() const { return rejectedCount; } // after stop(); -1 when it was not told

private:
    QStringList arguments;
    QTemporaryDir dir;
    QProcess process;
    QStringList portList;
    int expected = 0;
    int rejectedCount = -1;
    bool started = false;
    bool checked = false;
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
