#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

// gleistron-cli as a script runs it, pointed at the given ports.
struct CliRun
{
    int exitCode = -1;
    QString out;
    QString err;
};

// gleistron-cli started in the background, pointed at the given ports.
inline void startCli(QProcess &process, const QStringList &args, const QString &ports)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // No ports: none there, not this machine's own adapters.
    env.insert(QStringLiteral("GLEISTRON_PORTS"),
               ports.isEmpty() ? QStringLiteral("/nonexistent/gleistron0") : ports);
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(GLEISTRON_CLI), args);
}

inline CliRun runCli(const QStringList &args, const QString &ports, int timeoutMs = 100000,
                     const QString &workingDirectory = QString())
{
    QProcess process;
    if (!workingDirectory.isEmpty())
        process.setWorkingDirectory(workingDirectory);
    startCli(process, args, ports);
    CliRun run;
    if (process.waitForFinished(timeoutMs))
        run.exitCode = process.exitCode();
    else
        process.kill(); // a hanging run fails its test instead of holding up the suite
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}
