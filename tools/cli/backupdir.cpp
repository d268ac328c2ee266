// backup --dir and watch: dated backups into a folder that keeps the last N, once or at every
// plug-in of the station.

#include "cli.h"

#include "backupfile/backupfolder.h"
#include "backupfile/document.h"
#include "ftd2xx/adapterports.h"
#include "link/stationlink.h"

#include <QDate>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QSaveFile>
#include <QTimer>
#include <cstdio>
#include <memory>

namespace Cli {

namespace {

void printLine(const QString &line)
{
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

// Find out before the station is asked, not after the transfer, that the folder takes no file.
bool folderWritable(const QString &dir)
{
    QString why;
    if (!QDir().mkpath(dir)) {
        why = QStringLiteral("cannot be made");
    } else {
        QSaveFile probe(QDir(dir).filePath(QStringLiteral("Gleistron-probe.GTB2")));
        if (probe.open(QIODevice::WriteOnly))
            probe.cancelWriting();
        else
            why = probe.errorString();
    }
    if (!why.isEmpty())
        failure(QStringLiteral("cannot write into %1: %2").arg(dir, why));
    return why.isEmpty();
}

// One download into the folder. `station` is told the serial as soon as the station names
// itself; `interrupted` whether Ctrl+C ended it; `writeFailed` that the data was read but the
// folder did not take it (full, a size limit).
int backupInto(const QString &dir, int keep, const Options &options,
               const std::function<void(const QString &)> &station, bool *interrupted,
               bool *writeFailed = nullptr)
{
    auto document = std::make_unique<Document>();
    if (!selectSets(options.sets, document->image))
        return usage(QStringLiteral("--sets takes set keys or all"));
    if (!folderWritable(dir))
        return Failed;
    TransferSession session;
    QObject::connect(&session, &TransferSession::jobStarted, &session, [&station](StationLink *job) {
        QObject::connect(
            job, &StationLink::signal_info_gleistronVersion, job,
            [&station](const QString &serial) { station(serial); }, Qt::QueuedConnection);
    });
    const TransferSession::Result result = runSession(
        session, options, [&] { session.download(*document); }, interrupted);
    if (*interrupted || result.outcome != TransferSession::Outcome::Done) {
        if (*interrupted || result.outcome == TransferSession::Outcome::Stopped)
            failure(QStringLiteral("no file was written"));
        return exitCodeOf(result) == Done ? Failed : exitCodeOf(result);
    }
    BackupFolder folder(dir);
    const BackupFolder::Saved saved =
        folder.save(*document, result.serial, keep, QDate::currentDate());
    switch (saved.outcome) {
    case BackupFolder::Saved::Failed:
        failure(QStringLiteral("cannot write into %1: %2").arg(dir, saved.error));
        if (writeFailed)
            *writeFailed = true;
        return Failed;
    case BackupFolder::Saved::Unchanged:
        printLine(QStringLiteral("unchanged ") + saved.path);
        break;
    case BackupFolder::Saved::Written:
        printLine(QStringLiteral("saved ") + saved.path);
        for (const QString &removed : saved.removed)
            say(tr("Ältere Sicherung %1 entfernt.").arg(removed));
        break;
    }
    return Done;
}

// An adapter is there: a listed port whose device exists. Nothing is opened.
bool adapterPresent()
{
    for (const AdapterPorts::Port &port : AdapterPorts::list()) {
        if (QFileInfo::exists(port.path))
            return true;
    }
    return false;
}

// Waits `ms` with the event loop running; false when Ctrl+C came meanwhile.
bool pause(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
    return !interruptRequested();
}

} // namespace

int commandBackupDir(const QString &dir, int keep, const Options &options)
{
    bool interrupted = false;
    return backupInto(
        dir, keep, options, [](const QString &) {}, &interrupted);
}

int commandWatch(const QString &dir, int keep, const Options &options)
{
    auto sets = std::make_unique<DataImage>();
    if (!selectSets(options.sets, *sets))
        return usage(QStringLiteral("--sets takes set keys or all"));
    if (!folderWritable(dir))
        return Failed;
    enum { Idle, Trying, BackedUp } state = Idle;
    bool present = false;
    while (!interruptRequested()) {
        const bool now = adapterPresent();
        if (present && !now) {
            if (state == BackedUp)
                printLine(QStringLiteral("gone"));
            state = Idle;
        }
        present = now;
        if (present && state != BackedUp) {
            state = Trying;
            bool interrupted = false, writeFailed = false;
            QString announced;
            const int code = backupInto(
                dir, keep, options,
                [&announced](const QString &serial) {
                    if (announced.isEmpty())
                        printLine(QStringLiteral("station ") + serial);
                    announced = serial;
                },
                &interrupted, &writeFailed);
            if (interrupted)
                break;
            // Trying again would read the whole station again into the same refusal.
            if (writeFailed)
                return Failed;
            // A station not yet in PC mode, a port another program holds, a link lost: the
            // next try comes while the adapter stays plugged in.
            if (code == Done)
                state = BackedUp;
            else if (!pause(3000))
                break;
            continue;
        }
        if (!pause(1000))
            break;
    }
    return Done;
}

} // namespace Cli
