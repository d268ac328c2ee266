#include "comm_backup_download.h"

#include "model/transferplan.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstring>

using namespace Catalogue;

void Comm_backup_download::run()
{
    try {
        if (!begin("Comm_backup_download"))
            return;
        for (int set = 0; set < DataSetCount; ++set) {
            if (document->selectedSets[size_t(set)])
                download(set);
        }
        finish(quiet ? nullptr
                     : QT_TRANSLATE_NOOP("MainWindow",
                                         "<span style=\"font-weight:bold;color:#006600;\">"
                                         "Alle ausgewählte Datensätze geladen in %1 Sek. "
                                         "</span><HR><BR>"));
        emit signal_comm_backup_download_complete(true);
    } catch (const ex_wrongMode &) {
        forgetUnfinished();
    } catch (const ex_unexpectedAnswer &) {
        // The set being read is not held: nothing may be saved as if it were whole.
        forgetUnfinished();
        TransferEvent failed;
        failed.kind = TransferEvent::Kind::DownloadFailed;
        failed.set = currentSet;
        failed.record = currentRecord;
        finishedAndLeft(*document, finishedSets, failed);
        emit signal_comm_transfer_event(failed);
    } catch (const ex_stopped &) {
        forgetUnfinished();
        TransferEvent stopped;
        stopped.kind = TransferEvent::Kind::DownloadStopped;
        finishedAndLeft(*document, finishedSets, stopped);
        emit signal_comm_transfer_event(stopped);
        emit signal_comm_transfer_stopped();
    }
}

// A set read in part is not held, and none of its records counts as loaded: the routes tab
// and the counts must not show what the document does not hold.
void Comm_backup_download::forgetUnfinished()
{
    if (currentSet < 0 || document->presentSets[size_t(currentSet)])
        return;
    const Entry &e = entry(currentSet);
    if (e.statusOffset >= 0)
        std::fill_n(&document->recordStatus[size_t(e.statusOffset)], e.records, qint8(0));
}

bool Comm_backup_download::takeEmpty(int key)
{
    if (!emptyRecords.isEmpty() && emptyRecords.first() == key) {
        emptyRecords.removeFirst();
        return true;
    }
    return false;
}

// After a download no byte of a record comes from an earlier document: what the station
// reported empty, or what could not be read whole, is cleared and marked so (-1 or 0).
void Comm_backup_download::clearRecord(int set, int n)
{
    if (set == Fahrstrassen) {
        const quint8 none[512] = {};
        document->storeRoute(n, none);
        std::memset(document->illumination(n), 0, 512);
        return;
    }
    std::memset(document->record(set, n), 0, size_t(entry(set).recordSize));
}

void Comm_backup_download::readRecords(int set, bool (Comm_backup_download::*read)(int))
{
    const int offset = entry(set).statusOffset;
    const TransferPlan::Section &plan = TransferPlan::of(set);
    for (int n = plan.first; n < plan.records; ++n) {
        if (plan.quietEvery == 0 || n % plan.quietEvery != 0)
            emitProgress(plan.factor * quint32(n));
        qint8 &mark = status(offset, n);
        if (takeEmpty(n)) {
            clearRecord(set, n);
            mark = -1;
            continue;
        }
        currentRecord = n;
        if ((this->*read)(n)) {
            mark = 1;
            continue;
        }
        clearRecord(set, n);
        mark = takeEmpty(n) ? -1 : 0;
    }
}

void Comm_backup_download::readPlan(int plan)
{
    for (int r = 0; r < 64; ++r) {
        emitProgress(TransferPlan::of(Gleisplan1 + plan).factor * quint32(r));
        for (int c = 0; c < 128; c += 8) {
            const int key = c * 256 + r;
            currentRecord = key;
            quint8 *block = document->gleisplan(plan, r, c);
            // A block that is empty or did not arrive must not keep what an earlier document
            // left there: the upload would send it to the station as if it were its own.
            if (takeEmpty(key) || !backup_Gleisplan_load(plan, c, r, block)) {
                takeEmpty(key);
                std::memset(block, 0, 64);
            }
        }
    }
}

bool Comm_backup_download::readLok(int n)
{
    return backup_Lok_load(n, document->record(Lokomotiven, n));
}

bool Comm_backup_download::readWeiche(int n)
{
    return backup_Weichen_load(n, document->record(Weichen, n));
}

bool Comm_backup_download::readRueckmelder(int n)
{
    return backup_Rueckmelder_load(n, document->record(Rueckmelder, n));
}

bool Comm_backup_download::readRoute(int n)
{
    // Read aside and stored whole: the routes tab may be showing this record meanwhile.
    quint8 record[512] = {};
    const bool whole = backup_Fahrstrassen_load(n, record);
    document->storeRoute(n, record);
    if (!whole)
        return false;
    // A route without illumination (or whose illumination did not arrive) keeps none of an
    // earlier document's: the read clears what it did not get.
    const QList<int> routeEmpties = emptyRecords;
    if (!backup_FahrstrassenAusleuchtung_load(n, document->illumination(n)))
        std::memset(document->illumination(n), 0, 512);
    // The illumination's 'E' list names illuminations, not routes.
    emptyRecords = routeEmpties;
    return true;
}

bool Comm_backup_download::readLsb(int n)
{
    return backup_LSB_load(n, document->record(Lsb, n));
}

bool Comm_backup_download::readHsb(int n)
{
    return backup_HSB_load(n, document->record(Hsb, n));
}

bool Comm_backup_download::readLokbild(int n)
{
    return backup_Lokbild_load(n, document->lokbild(n));
}

void Comm_backup_download::download(int set)
{
    // What the document held of this set before is being overwritten: until the set is read
    // to its end it is not held.
    document->presentSets[size_t(set)] = 0;
    // A list of empty keys belongs to the set whose read returned it.
    emptyRecords.clear();
    currentSet = set;
    currentRecord = -1;
    QElapsedTimer clock;
    switch (set) {
    case Lokomotiven:
        clock = startSection(QT_TRANSLATE_NOOP("MainWindow", "Lade Lokomotiven ... "));
        std::fill_n(&status(StatusLokomotiven, 0), 1024, qint8(0));
        readRecords(set, &Comm_backup_download::readLok);
        currentRecord = -1;
        backup_Lokliste_load(document->lokliste(0));
        endSection(weightOf(set),
                   QT_TRANSLATE_NOOP("MainWindow", "  Lokomotiven geladen in %1 Sek. <BR>"), clock);
        break;
    case Gleisplan1:
    case Gleisplan2:
    case Gleisplan3: {
        const int plan = set - Gleisplan1;
        emit signal_comm_backup_message(
            QCoreApplication::translate("MainWindow", "Lade Gleisplan %1 ... ").arg(plan + 1));
        clock.start();
        readPlan(plan);
        finishSection(weightOf(set));
        sectionEnd(QT_TRANSLATE_NOOP("MainWindow", "  Gleisplan %1 geladen in %2 Sek. <BR>"),
                   plan + 1, clock);
        break;
    }
    case Weichen:
        clock = startSection(QT_TRANSLATE_NOOP("MainWindow", "Lade Schaltartikel ... "));
        std::fill_n(&status(StatusWeichen, 0), 1024, qint8(0));
        readRecords(set, &Comm_backup_download::readWeiche);
        endSection(weightOf(set),
                   QT_TRANSLATE_NOOP("MainWindow", "  Schaltartikel geladen in %1 Sek. <BR>"),
                   clock);
        break;
    case Rueckmelder:
        clock = startSection(QT_TRANSLATE_NOOP("MainWindow", "Lade Rückmelder ... "));
        std::fill_n(&status(StatusRueckmelder, 0), 1024, qint8(0));
        readRecords(set, &Comm_backup_download::readRueckmelder);
        currentRecord = -1;
        backup_S88_load(document->s88());
        document->s88Present = true;
        endSection(weightOf(set),
                   QT_TRANSLATE_NOOP("MainWindow", "  Rückmelder geladen in %1 Sek. <BR>"), clock);
        break;
    case Fahrstrassen:
        clock = startSection(QT_TRANSLATE_NOOP("MainWindow", "Lade Fahrstrassen ... "));
        std::fill_n(&status(StatusFahrstrassen, 0), 1024, qint8(0));
        readRecords(set, &Comm_backup_download::readRoute);
        endSection(weightOf(set),
                   QT_TRANSLATE_NOOP("MainWindow", "  Fahrstrassen geladen in %1 Sek. <BR>"),
                   clock);
        emit signal_comm_fahrstrassen_loaded(1024, true);
        break;
    case Lsb:
        clock = startSection(QT_TRANSLATE_NOOP("MainWindow", "Lade LSB Geräte ... "));
        std::fill_n(&status(StatusLsb, 0), 2048, qint8(0));
        readRecords(set, &Comm_backup_download::readLsb);
        endSection(weightOf(set),
                   QT_TRANSLATE_NOOP("MainWindow", "  LSB Geräte geladen in %1 Sek. <BR>"), clock);
        break;
    case Hsb:
        clock = startSection(QT_TRANSLATE_NOOP("MainWindow", "Lade HSB Geräte ... "));
        std::fill_n(&status(StatusHsb, 0), 256, qint8(0));
        readRecords(set, &Comm_backup_download::readHsb);
        endSection(weightOf(set),
                   QT_TRANSLATE_NOOP("MainWindow", "  HSB Geräte geladen in %1 Sek. <BR>"), clock);
        break;
    case System:
        clock = startSection(QT_TRANSLATE_NOOP("MainWindow", "Lade Systemkonfiguration ... "));
        backup_S88_load(document->s88());
        backup_SystemKonfiguration_load(document->systemKonfiguration());
        document->s88Present = true;
        endSection(weightOf(set),
                   QT_TRANSLATE_NOOP("MainWindow", "  Systemkonfiguration geladen in %1 Sek. <BR>"),
                   clock);
        break;
    case Lokbilder:
        clock = startSection(QT_TRANSLATE_NOOP("MainWindow", "Lade Lokbilder ... "));
        std::fill_n(&status(StatusLokbilder, 0), 100, qint8(0));
        readRecords(set, &Comm_backup_download::readLokbild);
        endSection(weightOf(set),
                   QT_TRANSLATE_NOOP("MainWindow", "  Lokbilder geladen in %1 Sek. <BR>"), clock);
        break;
    }
    // Only a set read to its end counts as held: a transfer that ends inside a set (a stop,
    // a station leaving its PC mode) must not leave a half-read set marked present.
    document->presentSets[size_t(set)] = 1;
    finishedSets.append(set);
}
