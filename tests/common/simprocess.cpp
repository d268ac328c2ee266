#include "simprocess.h"

#include <QTest>
#include <QtGlobal>
#include <csignal>
#include <sys/prctl.h>

SimProcess::SimProcess(const QStringList &args) : arguments(args) {}

SimProcess::~SimProcess()
{
    stop();
    if (!started || checked || expected < 0)
        return;
    checked = true;
    if (rejectedCount != expected)
        QTest::qFail(qPrintable(QStringLiteral("the simulated station refused %1 requests, "
                                               "expected %2")
                                    .arg(rejectedCount)
                                    .arg(expected)),
                     __FILE__, __LINE__);
}

bool SimProcess::start()
{
    process.setProgram(QStringLiteral(GLEISTRON_SIM));
    process.setArguments(arguments + QStringList{QStringLiteral("--link-dir"), dir.path()});
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    // A test killed by its time-out must not leave its station running.
    process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
    process.start();
    // As generous as stop(): a station loading a file under a sanitizer is slow to come up.
    if (!process.waitForStarted(30000))
        return false;
    started = true;
    while (process.state() == QProcess::Running) {
        if (!process.canReadLine() && !process.waitForReadyRead(60000))
            return false;
        while (process.canReadLine()) {
            const QString line = QString::fromLocal8Bit(process.readLine()).trimmed();
            if (line.startsWith(QLatin1String("PORT ")))
                portList.append(line.mid(5));
            else if (line == QLatin1String("READY"))
                return true;
        }
    }
    return false;
}

void SimProcess::stop()
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    // Generous: under ThreadSanitizer on a loaded machine, saving the station has taken over
    // 20 s. Waiting costs nothing when it is quick.
    if (!process.waitForFinished(90000))
        process.kill();
    process.waitForFinished(1000);
    const QStringList lines =
        QString::fromLocal8Bit(process.readAllStandardOutput()).split(QLatin1Char('\n'));
    for (const QString &line : lines) {
        if (line.startsWith(QLatin1String("REJECTED ")))
            rejectedCount = line.mid(9).trimmed().toInt();
    }
}

ScopedPorts::ScopedPorts(const QString &ports)
    : previous(qgetenv("GLEISTRON_PORTS")),
      hadPrevious(qEnvironmentVariableIsSet("GLEISTRON_PORTS"))
{
    qputenv("GLEISTRON_PORTS",
            ports.isEmpty() ? QByteArray("/nonexistent/gleistron0") : ports.toLocal8Bit());
}

ScopedPorts::~ScopedPorts()
{
    if (hadPrevious)
        qputenv("GLEISTRON_PORTS", previous);
    else
        qunsetenv("GLEISTRON_PORTS");
}
