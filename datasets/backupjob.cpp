#include "backupjob.h"

#include "link/logging.h"
#include "model/transferplan.h"

#include <QCoreApplication>

namespace {
QString translated(const char *text)
{
    return QCoreApplication::translate("MainWindow", text);
}

QString secondsText(const QElapsedTimer &clock, int decimals)
{
    return QString::number(double(clock.elapsed()) / 1000.0, 'f', decimals);
}
} // namespace

void BackupJob::finishedAndLeft(const DataImage &document, const QList<int> &finished,
                                TransferEvent &event)
{
    for (int set = 0; set < Catalogue::DataSetCount; ++set) {
        if (document.selectedSets[size_t(set)])
            (finished.contains(set) ? event.done : event.left).append(set);
    }
}

quint32 BackupJob::weightOf(int set)
{
    return TransferPlan::of(set).weight;
}

void BackupJob::continueTransfer()
{
    QMutexLocker lock(&versionMutex);
    decided = true;
    accepted = true;
    versionDecided.wakeAll();
}

void BackupJob::abandonTransfer()
{
    QMutexLocker lock(&versionMutex);
    decided = true;
    accepted = false;
    versionDecided.wakeAll();
}

void BackupJob::requestStop()
{
    Comm2Pc::requestStop();
    QMutexLocker lock(&versionMutex);
    versionDecided.wakeAll();
}

bool BackupJob::passVersionCheck(const char *jobName)
{
    qCDebug(lcData, "%s", jobName);
    qCDebug(lcData, "Version problem? %d ? %d", dataModelVersion, modelVersionLimit);
    if (dataModelVersion <= modelVersionLimit)
        return true;
    qCDebug(lcData, "Version problem! %d > %d", dataModelVersion, modelVersionLimit);
    emit signal_comm_version_problem(dataModelVersion);
    QMutexLocker lock(&versionMutex);
    while (!decided && !stopRequested())
        versionDecided.wait(&versionMutex);
    throwIfStopped();
    return accepted;
}

void BackupJob::startProgress(quint32 total)
{
    weightTotal = total;
    weightDone = 0;
    emit signal_comm_progress(0);
}

void BackupJob::emitProgress(quint32 position)
{
    if (weightTotal == 0)
        return;
    emit signal_comm_progress(int((weightDone + position) * 1000u / weightTotal));
}

void BackupJob::finishSection(quint32 weight)
{
    weightDone += weight;
    emitProgress(0);
}

QElapsedTimer BackupJob::startSection(const char *text)
{
    message(text);
    QElapsedTimer clock;
    clock.start();
    return clock;
}

void BackupJob::endSection(quint32 weight, const char *text, const QElapsedTimer &clock)
{
    finishSection(weight);
    sectionEnd(text, clock);
}

void BackupJob::message(const char *text)
{
    emit signal_comm_backup_message(translated(text));
}

void BackupJob::sectionEnd(const char *text, const QElapsedTimer &clock)
{
    emit signal_comm_backup_message(translated(text).arg(secondsText(clock, 3)));
}

void BackupJob::sectionEnd(const char *text, int plan, const QElapsedTimer &clock)
{
    emit signal_comm_backup_message(translated(text).arg(plan).arg(secondsText(clock, 3)));
}

qint8 &BackupJob::status(int statusOffset, int n)
{
    return document->recordStatus[size_t(statusOffset + n)];
}

bool BackupJob::begin(const char *jobName)
{
    if (!connectDevice(false) || !passVersionCheck(jobName))
        return false;
    quint32 total = 0;
    for (int set = 0; set < Catalogue::DataSetCount; ++set) {
        if (document->selectedSets[size_t(set)])
            total += weightOf(set);
    }
    overall.start();
    startProgress(total);
    return true;
}

void BackupJob::finish(const char *finalMessage)
{
    backup_finalize();
    emit signal_comm_progress(1000);
    seconds = secondsText(overall, 2);
    if (finalMessage)
        emit signal_comm_backup_message(translated(finalMessage).arg(seconds));
}
