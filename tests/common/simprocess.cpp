#include "simprocess.h"

#include <QtGlobal>

SimProcess::SimProcess(const QStringList &args) : arguments(args) {}

SimProcess::~SimProcess()
{
    stop();
}

bool SimProcess::start()
{
    process.setProgram(QStringLiteral(GLEISTRON_SIM));
    process.setArguments(arguments + QStringList{QStringLiteral("--link-dir"), dir.path()});
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start();
    if (!process.waitForStarted(5000))
        return false;
    while (process.state() == QProcess::Running) {
        if (!process.canReadLine() && !process.waitForReadyRead(10000))
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
    if (process.state() != QProcess::NotRunning) {
        process.terminate();
        if (!process.waitForFinished(5000))
            process.kill();
        process.waitForFinished(1000);
    }
}

ScopedPorts::ScopedPorts(const QString &ports)
    : previous(qgetenv("GLEISTRON_PORTS")),
      hadPrevious(qEnvironmentVariableIsSet("GLEISTRON_PORTS"))
{
    qputenv("GLEISTRON_PORTS", ports.toLocal8Bit());
}

ScopedPorts::~ScopedPorts()
{
    if (hadPrevious)
        qputenv("GLEISTRON_PORTS", previous);
    else
        qunsetenv("GLEISTRON_PORTS");
}
