#include "comm_backup_upload.h"

#include "model/transferplan.h"
#include "model/uploadrules.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <functional>

using namespace Catalogue;

bool Comm_backup_upload::takesPart(int set) const
{
    return UploadRules::takesPart(*document, set);
}

bool Comm_backup_upload::sent(int statusOffset, int n) const
{
    return UploadRules::recordSent(*document, statusOffset, n);
}

void Comm_backup_upload::run()
{
    try {
        if (!begin("Comm_backup_upload"))
            return;
        unconfirmedSets.clear();
        stagedSets.clear();
        imagesTaken = 0;
        // Each set's window runs from its first write to the commit that stores its last one.
        const int lokFrom = recoveries;
        if (takesPart(Lokomotiven)) {
            beginStaging({Lokomotiven});
            listsFrom = lokFrom;
            uploadLokomotiven(); // its lists wait for the list commit
        }
        boundary();
        const int plansFrom = recoveries;
        bool anyPlan = false;
        for (int plan = 0; plan < 3; ++plan) {
            if (takesPart(Gleisplan1 + plan)) {
                // The three plans share one commit: a stop waits for all of them.
                beginStaging({Gleisplan1 + plan});
                sendPlan(plan);
                anyPlan = true;
            }
        }
        if (anyPlan) {
            backup_Gleisplan_commit();
            committed({Gleisplan1, Gleisplan2, Gleisplan3});
            message(QT_TRANSLATE_NOOP("MainWindow", "Gleispläne gespeichert. <BR>"));
            for (int plan = 0; plan < 3; ++plan) {
                if (takesPart(Gleisplan1 + plan))
                    confirm(Gleisplan1 + plan, plansFrom);
            }
            boundary();
        }
        for (const auto &[set, upload] :
             {std::pair{Weichen, &Comm_backup_upload::uploadWeichen},
              std::pair{Rueckmelder, &Comm_backup_upload::uploadRueckmelder},
              std::pair{Fahrstrassen, &Comm_backup_upload::uploadFahrstrassen},
              std::pair{Lsb, &Comm_backup_upload::uploadLsb},
              std::pair{Hsb, &Comm_backup_upload::uploadHsb}}) {
            if (!takesPart(set))
                continue;
            const int from = recoveries;
            beginStaging({set});
            (this->*upload)();
            committed({set});
            confirm(set, from);
            boundary();
        }
        if (takesPart(System)) {
            if (!takesPart(Lokomotiven))
                listsFrom = recoveries;
            beginStaging({System});
            uploadSystem();
        }
        // The list commit also stores the locomotive lists and the system configuration.
        if (takesPart(Lokomotiven) || takesPart(System) || takesPart(Rueckmelder))
            commitLists();
        if (takesPart(Lokbilder)) {
            const int from = recoveries;
            uploadLokbilder();
            confirm(Lokbilder, from);
        }

        // A set the link failed under may have been dropped by the station: then the last line
        // says so instead of the success line.
        std::sort(unconfirmedSets.begin(), unconfirmedSets.end());
        if (unconfirmedSets.isEmpty()) {
            finish(QT_TRANSLATE_NOOP("MainWindow",
                                     "<span style=\"font-weight:bold;color:#006600;\">"
                                     "Alle ausgewählte Datensätze übertragen in %1 Sek. "
                                     "</span> <HR><BR>"));
        } else {
            finish(QT_TRANSLATE_NOOP("MainWindow", "Alle ausgewählte Datensätze gesendet in %1 "
                                                   "Sek.<BR>"));
            TransferEvent unconfirmed;
            unconfirmed.kind = TransferEvent::Kind::UploadUnconfirmed;
            unconfirmed.sets = unconfirmedSets;
            emit signal_comm_transfer_event(unconfirmed);
        }
        emit signal_comm_backup_upload_complete(true);
    } catch (const ex_stopped &stop) {
        TransferEvent ended;
        ended.kind = TransferEvent::Kind::UploadEnded;
        if (dynamic_cast<const ex_wrongMode *>(&stop)) {
            ended.end = TransferEvent::End::LeftPcMode;
        } else if (dynamic_cast<const ex_unexpectedAnswer *>(&stop)) {
            ended.end = TransferEvent::End::Failed;
            ended.set = currentSet;
            ended.record = currentRecord;
        }
        {
            QMutexLocker lock(&stagingMutex);
            stagedSets = staging;
        }
        endedEarly(*document, finishedSets, stagedSets, imagesTaken, ended);
        emit signal_comm_transfer_event(ended);
        // A failure is not a stop: the session reports it as failed.
        if (ended.end == TransferEvent::End::Stopped)
            emit signal_comm_transfer_stopped();
    }
}

void Comm_backup_upload::requestStop()
{
    {
        QMutexLocker lock(&stagingMutex);
        if (!staging.isEmpty() && !stopAtBoundary) {
            stopAtBoundary = true;
            TransferEvent stopping;
            stopping.kind = TransferEvent::Kind::UploadStopping;
            stopping.sets = staging;
            emit signal_comm_transfer_event(stopping);
            return;
        }
    }
    BackupJob::requestStop();
}

void Comm_backup_upload::beginStaging(std::initializer_list<int> sets)
{
    QMutexLocker lock(&stagingMutex);
    throwIfStopped(); // a stop asked for while nothing was staged ends the upload here
    for (int set : sets) {
        if (!staging.contains(set))
            staging.append(set);
    }
}

void Comm_backup_upload::committed(std::initializer_list<int> sets)
{
    QMutexLocker lock(&stagingMutex);
    for (int set : sets)
        staging.removeAll(set);
}

void Comm_backup_upload::boundary()
{
    {
        QMutexLocker lock(&stagingMutex);
        if (!stopAtBoundary)
            return;
    }
    // The locomotive lists and the system configuration wait for the list commit: it goes
    // now, so that they are stored rather than left for a later upload to commit.
    bool listsWaiting = false;
    {
        QMutexLocker lock(&stagingMutex);
        listsWaiting = staging.contains(Lokomotiven) || staging.contains(System);
    }
    if (listsWaiting)
        commitLists();
    throw ex_stopped();
}

void Comm_backup_upload::commitLists()
{
    // Only what was sent is taken by this commit: an early one (a stop during a later set)
    // comes before the system configuration has been sent.
    QList<int> waiting;
    {
        QMutexLocker lock(&stagingMutex);
        for (int set : {Lokomotiven, System}) {
            if (staging.contains(set))
                waiting.append(set);
        }
    }
    currentSet = waiting.isEmpty() ? Rueckmelder : waiting.first();
    currentRecord = -1;
    backup_Lokliste_commit();
    committed({Lokomotiven, System});
    for (int set : std::as_const(waiting))
        confirm(set, listsFrom);
}

void Comm_backup_upload::endedEarly(const DataImage &document, const QList<int> &finished,
                                    const QList<int> &staged, int imagesTaken, TransferEvent &event)
{
    for (int set = 0; set < DataSetCount; ++set) {
        if (!UploadRules::takesPart(document, set))
            continue;
        if (finished.contains(set))
            event.done.append(set);
        else if (set == Lokbilder && imagesTaken > 0)
            event.images = imagesTaken;
        else if (staged.contains(set))
            event.pending.append(set);
        else
            event.left.append(set);
    }
}

void Comm_backup_upload::confirm(int set, int recoveriesBefore)
{
    finishedSets.append(set);
    if (recoveries != recoveriesBefore)
        unconfirmedSets.append(set);
}

void Comm_backup_upload::sendRecords(int set, const std::function<void(int)> &send,
                                     const std::function<void(int)> &after)
{
    const TransferPlan::Section &plan = TransferPlan::of(set);
    currentSet = set;
    for (int n = 0; n < plan.records; ++n) {
        if (n % plan.quietEvery != 0)
            emitProgress(plan.factor * quint32(n));
        currentRecord = n;
        if (sent(entry(set).statusOffset, n))
            send(n);
        if (after) {
            currentRecord = -1; // the illumination commits
            after(n);
        }
    }
    currentRecord = -1;
}

void Comm_backup_upload::uploadLokomotiven()
{
    const QElapsedTimer clock =
        startSection(QT_TRANSLATE_NOOP("MainWindow", "Speichere Lokomotiven ... "));
    sendRecords(Lokomotiven,
                [this](int n) { backup_Lok_save(n, document->record(Lokomotiven, n)); });
    backup_Lok_commit();
    backup_Lokliste_save(document->lokliste(0));
    endSection(TransferPlan::of(Lokomotiven).uploadDone,
               QT_TRANSLATE_NOOP("MainWindow", "  Lokomotiven gespeichert in %1 Sek. <BR>"), clock);
}

void Comm_backup_upload::sendPlan(int plan)
{
    emit signal_comm_backup_message(
        QCoreApplication::translate("MainWindow", "Speichere Gleisplan %1 ... ").arg(plan + 1));
    QElapsedTimer clock;
    clock.start();
    currentSet = Gleisplan1 + plan;
    for (int r = 0; r < 64; ++r) {
        emitProgress(TransferPlan::of(Gleisplan1 + plan).factor * quint32(r));
        for (int c = 0; c < 128; c += 8) {
            const quint8 *block = document->gleisplan(plan, r, c);
            currentRecord = c * 256 + r;
            if (UploadRules::planBlockSent(block, r, c))
                backup_Gleisplan_save(plan, c, r, block);
        }
    }
    currentRecord = -1; // the commit
    finishSection(TransferPlan::of(Gleisplan1 + plan).uploadDone);
    sectionEnd(QT_TRANSLATE_NOOP("MainWindow", "  Gleisplan %1 übertragen in %2 Sek. <BR>"),
               plan + 1, clock);
}

void Comm_backup_upload::uploadWeichen()
{
    const QElapsedTimer clock =
        startSection(QT_TRANSLATE_NOOP("MainWindow", "Speichere Schaltartikel ... "));
    sendRecords(Weichen, [this](int n) { backup_Weichen_save(n, document->record(Weichen, n)); });
    backup_Weichen_commit();
    endSection(TransferPlan::of(Weichen).uploadDone,
               QT_TRANSLATE_NOOP("MainWindow", "  Schaltartikel gespeichert in %1 Sek. <BR>"),
               clock);
}

void Comm_backup_upload::uploadRueckmelder()
{
    const QElapsedTimer clock =
        startSection(QT_TRANSLATE_NOOP("MainWindow", "Speichere Rückmelder ... "));
    sendRecords(Rueckmelder,
                [this](int n) { backup_Rueckmelder_save(n, document->record(Rueckmelder, n)); });
    // Only S88 data the document really holds: zeros would wipe the station's configuration.
    if (document->s88Present)
        backup_S88_save(document->s88());
    backup_Rueckmelder_commit();
    endSection(TransferPlan::of(Rueckmelder).uploadDone,
               QT_TRANSLATE_NOOP("MainWindow", "  Rückmelder gespeichert in %1 Sek. <BR>"), clock);
}

void Comm_backup_upload::uploadFahrstrassen()
{
    const QElapsedTimer clock =
        startSection(QT_TRANSLATE_NOOP("MainWindow", "Speichere Fahrstrassen ... "));
    sendRecords(
        Fahrstrassen,
        [this](int n) {
            backup_Fahrstrassen_save(n, document->record(Fahrstrassen, n));
            backup_FahrstrassenAusleuchtung_save(n, document->illumination(n));
        },
        [this](int n) {
            // Illumination is committed in groups of 128 routes, sent or not.
            if (n % 128 == 127)
                backup_FahrstrassenAusleuchtung_commit(n / 128);
        });
    backup_Fahrstrassen_commit();
    endSection(TransferPlan::of(Fahrstrassen).uploadDone,
               QT_TRANSLATE_NOOP("MainWindow", "  Fahrstrassen gespeichert in %1 Sek. <BR>"),
               clock);
}

void Comm_backup_upload::uploadLsb()
{
    const QElapsedTimer clock =
        startSection(QT_TRANSLATE_NOOP("MainWindow", "Speichere LSB Datensätze ... "));
    sendRecords(Lsb, [this](int n) { backup_LSB_save(n, document->record(Lsb, n)); });
    backup_LSB_commit();
    endSection(TransferPlan::of(Lsb).uploadDone,
               QT_TRANSLATE_NOOP("MainWindow", "  LSB Datensätze gespeichert in %1 Sek. <BR>"),
               clock);
}

void Comm_backup_upload::uploadHsb()
{
    const QElapsedTimer clock =
        startSection(QT_TRANSLATE_NOOP("MainWindow", "Speichere HSB Datensätze ... "));
    sendRecords(Hsb, [this](int n) { backup_HSB_save(n, document->record(Hsb, n)); });
    backup_HSB_commit();
    endSection(TransferPlan::of(Hsb).uploadDone,
               QT_TRANSLATE_NOOP("MainWindow", "  HSB Datensätze gespeichert in %1 Sek. <BR>"),
               clock);
}

void Comm_backup_upload::uploadSystem()
{
    const QElapsedTimer clock =
        startSection(QT_TRANSLATE_NOOP("MainWindow", "Speichere Systemkonfiguration ... "));
    currentSet = System;
    currentRecord = -1;
    backup_SystemKonfiguration_save(document->systemKonfiguration());
    endSection(TransferPlan::of(System).uploadDone,
               QT_TRANSLATE_NOOP("MainWindow", "  Systemkonfiguration gespeichert in %1 Sek. <BR>"),
               clock);
}

void Comm_backup_upload::uploadLokbilder()
{
    const QElapsedTimer clock =
        startSection(QT_TRANSLATE_NOOP("MainWindow", "Speichere Lokbilder ... "));
    currentSet = Lokbilder;
    for (int n = 1; n < 100; ++n) {
        emitProgress(TransferPlan::of(Lokbilder).factor * quint32(n));
        currentRecord = n;
        if (UploadRules::imageSent(*document, n)) {
            beginStaging({Lokbilder});
            backup_Lokbild_save(n, document->lokbild(n));
            backup_Lokbild_commit(n);
            committed({Lokbilder});
            ++imagesTaken;
            boundary(); // every image has its own commit
        }
    }
    endSection(TransferPlan::of(Lokbilder).uploadDone,
               QT_TRANSLATE_NOOP("MainWindow", "  Lokbilder gespeichert in %1 Sek. <BR>"), clock);
}
