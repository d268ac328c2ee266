#include "comm_backup_upload.h"

#include "transferplan.h"
#include "uploadrules.h"

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
        // Each set's window runs from its first write to the commit that stores its last one.
        const int lokFrom = recoveries;
        if (takesPart(Lokomotiven))
            uploadLokomotiven();
        const int plansFrom = recoveries;
        bool anyPlan = false;
        for (int plan = 0; plan < 3; ++plan) {
            if (takesPart(Gleisplan1 + plan)) {
                sendPlan(plan);
                anyPlan = true;
            }
        }
        if (anyPlan) {
            backup_Gleisplan_commit();
            message(QT_TRANSLATE_NOOP("MainWindow", "Gleispläne gespeichert. <BR>"));
            for (int plan = 0; plan < 3; ++plan) {
                if (takesPart(Gleisplan1 + plan))
                    confirm(Gleisplan1 + plan, plansFrom);
            }
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
            (this->*upload)();
            confirm(set, from);
        }
        const int systemFrom = recoveries;
        if (takesPart(System))
            uploadSystem();
        // The list commit also stores the locomotive lists and the system configuration.
        if (takesPart(Lokomotiven) || takesPart(System) || takesPart(Rueckmelder))
            backup_Lokliste_commit();
        if (takesPart(Lokomotiven))
            confirm(Lokomotiven, lokFrom);
        if (takesPart(System))
            confirm(System, systemFrom);
        if (takesPart(Lokbilder)) {
            const int from = recoveries;
            uploadLokbilder();
            confirm(Lokbilder, from);
        }

        finish(QT_TRANSLATE_NOOP("MainWindow", "<span style=\"font-weight:bold;color:#006600;\">"
                                               "Alle ausgewählte Datensätze übertragen in %1 Sek. "
                                               "</span> <HR><BR>"));
        std::sort(unconfirmedSets.begin(), unconfirmedSets.end());
        if (!unconfirmedSets.isEmpty())
            emit signal_comm_backup_message(unconfirmedMessage(unconfirmedSets));
        emit signal_comm_backup_upload_complete(true);
    } catch (const ex_wrongMode &) {
    } catch (const ex_stopped &) {
        emit signal_comm_backup_message(stoppedMessage(false, *document, finishedSets));
        emit signal_comm_transfer_stopped();
    }
}

void Comm_backup_upload::confirm(int set, int recoveriesBefore)
{
    finishedSets.append(set);
    if (recoveries != recoveriesBefore)
        unconfirmedSets.append(set);
}

QString Comm_backup_upload::unconfirmedMessage(const QList<int> &sets)
{
    QStringList names;
    for (int set : sets)
        names.append(QCoreApplication::translate("MainWindow", entry(set).name));
    return QCoreApplication::translate(
               "MainWindow",
               "<span style=\"font-weight:bold;color:#660000;\">Hochladen nicht bestätigt:</span> "
               "Während %1 gesendet wurde, war die Verbindung unterbrochen. Eine Station, die "
               "dabei neu begonnen hat, hat diese Daten verworfen. Bitte erneut hochladen oder "
               "mit dem Gleistron vergleichen.<BR>")
        .arg(names.join(QStringLiteral(", ")));
}

void Comm_backup_upload::sendRecords(int set, const std::function<void(int)> &send,
                                     const std::function<void(int)> &after)
{
    const TransferPlan::Section &plan = TransferPlan::of(set);
    for (int n = 0; n < plan.records; ++n) {
        if (n % plan.quietEvery != 0)
            emitProgress(plan.factor * quint32(n));
        if (sent(entry(set).statusOffset, n))
            send(n);
        if (after)
            after(n);
    }
}

void Comm_backup_upload::uploadLokomotiven()
{
    const QElapsedTimer clock =
        startSection(QT_TRANSLATE_NOOP("MainWindow", "Speichere Lokomotiven ... "));
    sendRecords(Lokomotiven,
                [this](int n) { backup_Lok_save(n, document->bank(0) + LokOffset + n * 256); });
    backup_Lok_commit();
    backup_Lokliste_save(document->bank(0) + LoklistenOffset);
    endSection(TransferPlan::of(Lokomotiven).uploadDone,
               QT_TRANSLATE_NOOP("MainWindow", "  Lokomotiven gespeichert in %1 Sek. <BR>"), clock);
}

void Comm_backup_upload::sendPlan(int plan)
{
    emit signal_comm_backup_message(
        QCoreApplication::translate("MainWindow", "Speichere Gleisplan %1 ... ").arg(plan + 1));
    QElapsedTimer clock;
    clock.start();
    const quint8 *base = document->bank(1) + GleisplanOffset * (plan + 1);
    for (int r = 0; r < 64; ++r) {
        emitProgress(TransferPlan::of(Gleisplan1 + plan).factor * quint32(r));
        for (int c = 0; c < 128; c += 8) {
            const quint8 *block = base + r * 1024 + c * 8;
            if (UploadRules::planBlockSent(block, r, c))
                backup_Gleisplan_save(plan, c, r, block);
        }
    }
    finishSection(TransferPlan::of(Gleisplan1 + plan).uploadDone);
    sectionEnd(QT_TRANSLATE_NOOP("MainWindow", "  Gleisplan %1 übertragen in %2 Sek. <BR>"),
               plan + 1, clock);
}

void Comm_backup_upload::uploadWeichen()
{
    const QElapsedTimer clock =
        startSection(QT_TRANSLATE_NOOP("MainWindow", "Speichere Schaltartikel ... "));
    sendRecords(Weichen, [this](int n) {
        backup_Weichen_save(n, document->bank(1) + WeichenOffset + n * 64);
    });
    backup_Weichen_commit();
    endSection(TransferPlan::of(Weichen).uploadDone,
               QT_TRANSLATE_NOOP("MainWindow", "  Schaltartikel gespeichert in %1 Sek. <BR>"),
               clock);
}

void Comm_backup_upload::uploadRueckmelder()
{
    const QElapsedTimer clock =
        startSection(QT_TRANSLATE_NOOP("MainWindow", "Speichere Rückmelder ... "));
    sendRecords(Rueckmelder, [this](int n) {
        backup_Rueckmelder_save(n, document->bank(2) + RueckmelderOffset + n * 256);
    });
    // Only S88 data the document really holds: zeros would wipe the station's configuration.
    if (document->s88Present)
        backup_S88_save(document->bank(0) + S88Offset);
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
            backup_Fahrstrassen_save(n, document->bank(0) + RouteOffset + n * 512);
            backup_FahrstrassenAusleuchtung_save(n,
                                                 document->bank(2) + AusleuchtungOffset + n * 512);
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
    sendRecords(Lsb, [this](int n) { backup_LSB_save(n, document->bank(0) + LsbOffset + n * 32); });
    backup_LSB_commit();
    endSection(TransferPlan::of(Lsb).uploadDone,
               QT_TRANSLATE_NOOP("MainWindow", "  LSB Datensätze gespeichert in %1 Sek. <BR>"),
               clock);
}

void Comm_backup_upload::uploadHsb()
{
    const QElapsedTimer clock =
        startSection(QT_TRANSLATE_NOOP("MainWindow", "Speichere HSB Datensätze ... "));
    sendRecords(Hsb,
                [this](int n) { backup_HSB_save(n, document->bank(0) + HsbOffset + n * 256); });
    backup_HSB_commit();
    endSection(TransferPlan::of(Hsb).uploadDone,
               QT_TRANSLATE_NOOP("MainWindow", "  HSB Datensätze gespeichert in %1 Sek. <BR>"),
               clock);
}

void Comm_backup_upload::uploadSystem()
{
    const QElapsedTimer clock =
        startSection(QT_TRANSLATE_NOOP("MainWindow", "Speichere Systemkonfiguration ... "));
    backup_SystemKonfiguration_save(document->bank(0) + SystemOffset);
    endSection(TransferPlan::of(System).uploadDone,
               QT_TRANSLATE_NOOP("MainWindow", "  Systemkonfiguration gespeichert in %1 Sek. <BR>"),
               clock);
}

void Comm_backup_upload::uploadLokbilder()
{
    const QElapsedTimer clock =
        startSection(QT_TRANSLATE_NOOP("MainWindow", "Speichere Lokbilder ... "));
    for (int n = 1; n < 100; ++n) {
        emitProgress(TransferPlan::of(Lokbilder).factor * quint32(n));
        if (UploadRules::imageSent(*document, n)) {
            backup_Lokbild_save(n, document->lokbild(n));
            backup_Lokbild_commit(n);
        }
    }
    endSection(TransferPlan::of(Lokbilder).uploadDone,
               QT_TRANSLATE_NOOP("MainWindow", "  Lokbilder gespeichert in %1 Sek. <BR>"), clock);
}
