// gleistron-cli: backups, restores and inspection from scripts, through the window's jobs.

#include "backupfile/backupfile.h"
#include "backupfile/legacyimport.h"
#include "clijobs.h"
#include "datasets/backupdiff.h"
#include "datasets/comm_backup_download.h"
#include "datasets/comm_backup_upload.h"
#include "datasets/uploadcheck.h"
#include "datasets/uploadrules.h"
#include "link/statustexts.h"
#include "lsbupdate/lsb_updater.h"
#include "lsbupdate/lsbfile.h"
#include "routes/routerecord.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QSaveFile>
#include <QSocketNotifier>
#include <QTranslator>
#include <csignal>
#include <cstdio>
#include <memory>
#include <unistd.h>

namespace {

enum ExitCode { Done = 0, Failed = 1, BadUsage = 2, NoStation = 3, WrongMode = 4, Declined = 5 };

int signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char byte = 1;
    (void)!::write(signalPipe[1], &byte, 1);
}

void message(const QString &html)
{
    const QString text = StatusTexts::toPlainText(html);
    if (!text.isEmpty())
        std::fprintf(stderr, "%s\n", qPrintable(text));
}

void failure(const QString &text)
{
    std::fprintf(stderr, "gleistron-cli: %s\n", qPrintable(text));
}

int usage(const QString &why)
{
    std::fprintf(stderr, "gleistron-cli: %s\nTry 'gleistron-cli --help'.\n", qPrintable(why));
    return BadUsage;
}

struct Options
{
    bool acceptNewer = false;
    bool verify = false;
    QString sets;
    QString keepPrevious;
};

// A bar on a terminal, a line per tenth otherwise; the time left once a few seconds give an
// estimate.
class Progress
{
public:
    Progress() : terminal(isatty(STDERR_FILENO)) {}
    ~Progress()
    {
        if (terminal && last >= 0)
            std::fputc('\n', stderr);
    }
    void show(int permille)
    {
        if (!clock.isValid())
            clock.start();
        const int percent = permille / 10;
        const QByteArray left = timeLeft(permille);
        if (terminal) {
            if (percent == last && left == lastLeft)
                return;
            const int filled = percent * 40 / 100;
            std::fprintf(stderr, "\r[%s%s] %3d%%%s   ", QByteArray(filled, '#').constData(),
                         QByteArray(40 - filled, ' ').constData(), percent, left.constData());
            std::fflush(stderr);
            last = percent;
            lastLeft = left;
        } else if (percent / 10 != last / 10 || last < 0) {
            std::fprintf(stderr, "progress %d%%%s\n", percent, left.constData());
            last = percent;
        }
    }
    void interrupt()
    {
        if (terminal && last >= 0)
            std::fputc('\n', stderr);
        last = -1;
    }

private:
    QByteArray timeLeft(int permille) const
    {
        const qint64 elapsed = clock.elapsed();
        if (permille <= 0 || permille >= 1000 || elapsed < 3000)
            return QByteArray();
        const qint64 seconds = elapsed * (1000 - permille) / permille / 1000;
        return (QStringLiteral(", ") + QCoreApplication::translate("MainWindow", "noch %1")
                                           .arg(QStringLiteral("%1:%2")
                                                    .arg(seconds / 60)
                                                    .arg(seconds % 60, 2, 10, QLatin1Char('0'))))
            .toLocal8Bit();
    }

    bool terminal;
    int last = -1;
    QByteArray lastLeft;
    QElapsedTimer clock;
};

// Runs a job to its end while the event loop delivers its queued reports; Ctrl+C asks it to
// stop between two exchanges.
bool runJob(Comm2Pc &job)
{
    QEventLoop loop;
    QObject::connect(&job, &QThread::finished, &loop, &QEventLoop::quit, Qt::QueuedConnection);
    QSocketNotifier interrupt(signalPipe[0], QSocketNotifier::Read);
    bool interrupted = false;
    QObject::connect(&interrupt, &QSocketNotifier::activated, &job, [&] {
        char byte;
        (void)!::read(signalPipe[0], &byte, 1);
        failure(QStringLiteral("interrupted, stopping ..."));
        interrupted = true;
        job.requestStop();
    });
    job.start();
    loop.exec();
    job.wait();
    QCoreApplication::sendPostedEvents();
    return !interrupted;
}

// Station reports shared by every command that talks to the station.
struct StationReports
{
    int exitCode = Done;
    QString serial;
    QString softwareVersion;

    void attach(Comm2Pc &job)
    {
        QObject::connect(
            &job, &Comm2Pc::signal_info_noGleistron, &job,
            [this] {
                message(StatusTexts::noGleistron());
                exitCode = NoStation;
            },
            Qt::QueuedConnection);
        QObject::connect(
            &job, &Comm2Pc::signal_info_invalidMode, &job,
            [this] {
                message(StatusTexts::invalidMode());
                message(StatusTexts::backupMenuHint());
                exitCode = WrongMode;
            },
            Qt::QueuedConnection);
        QObject::connect(
            &job, &Comm2Pc::signal_exchange_failed, &job,
            [] { message(StatusTexts::exchangeFailed()); }, Qt::QueuedConnection);
        QObject::connect(
            &job, &Comm2Pc::signal_reconnected, &job, [] { message(StatusTexts::resumed()); },
            Qt::QueuedConnection);
        QObject::connect(
            &job, &Comm2Pc::signal_info_gleistronVersion, &job,
            [this](const QString &s, const QString &software, const QString &, const QString &) {
                serial = s;
                softwareVersion = software;
            },
            Qt::QueuedConnection);
    }
};

// Fills the selection from "all" or a comma-separated list of set keys.
bool selectSets(const QString &keys, DataImage &image)
{
    image.selectedSets.fill(0);
    for (const QString &key : keys.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        if (key == QLatin1String("all")) {
            image.selectedSets.fill(1);
            continue;
        }
        const int set = Catalogue::indexOfKey(key.trimmed());
        if (set < 0)
            return false;
        image.selectedSets[size_t(set)] = 1;
    }
    return std::any_of(image.selectedSets.begin(), image.selectedSets.end(),
                       [](quint8 f) { return f != 0; });
}

// The transfer jobs' reports: messages, progress, the newer-data-model question.
struct TransferReports : StationReports
{
    Progress progress;
    bool declined = false;

    void attach(BackupJob &job, bool acceptNewer)
    {
        StationReports::attach(job);
        QObject::connect(
            &job, &BackupJob::signal_comm_backup_message, &job,
            [this](const QString &html) {
                progress.interrupt();
                message(html);
            },
            Qt::QueuedConnection);
        QObject::connect(
            &job, &BackupJob::signal_comm_progress, &job,
            [this](int permille) { progress.show(permille); }, Qt::QueuedConnection);
        QObject::connect(
            &job, &BackupJob::signal_comm_version_problem, &job,
            [this, &job, acceptNewer](int version) {
                QString text = QString::number(version);
                text.insert(1, QLatin1Char('.'));
                failure(QStringLiteral("the station's data model %1 is newer than "
                                       "2.000")
                            .arg(text));
                if (acceptNewer) {
                    job.continueTransfer();
                } else {
                    failure(QStringLiteral("declined; --accept-newer-datamodel goes "
                                           "on anyway"));
                    declined = true;
                    exitCode = Declined;
                    job.abandonTransfer();
                }
            },
            Qt::QueuedConnection);
    }
};

int commandInfo()
{
    InfoJob job;
    StationReports reports;
    reports.attach(job);
    QObject::connect(
        &job, &Comm2Pc::signal_info_gleistronVersion, &job,
        [](const QString &serial, const QString &software, const QString &protocol,
           const QString &dataModel) {
            std::printf("serial %s\nsoftware %s\nprotocol %s\ndatamodel %s\n", qPrintable(serial),
                        qPrintable(software), qPrintable(protocol), qPrintable(dataModel));
            std::fflush(stdout);
        },
        Qt::QueuedConnection);
    if (!runJob(job))
        return Failed;
    return reports.exitCode;
}

// Downloads the sets into a new file; without a name, Gleistron-<serial>-<date>.GTB2 in the
// current folder (never over an earlier one).
int commandBackup(QString path, const Options &options)
{
    // Only a .GTB2 name opens again: a name without an extension gets it, another one is
    // refused before the station is asked for anything.
    const bool named = !path.isEmpty();
    if (named && QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".GTB2");
    else if (named && QFileInfo(path).suffix().toUpper() != QLatin1String("GTB2"))
        return usage(QStringLiteral("backup files end in .GTB2"));
    auto document = std::make_unique<DataImage>();
    if (!selectSets(options.sets, *document))
        return usage(QStringLiteral("--sets takes set keys or all"));
    {
        // Find out now, not after the transfer, that the file cannot be written.
        QSaveFile probe(named ? path : QStringLiteral("Gleistron-probe.GTB2"));
        if (!probe.open(QIODevice::WriteOnly)) {
            failure(QStringLiteral("cannot write %1: %2").arg(path, probe.errorString()));
            return Failed;
        }
        probe.cancelWriting();
    }
    Comm_backup_download job;
    job.setDocument(document.get());
    TransferReports reports;
    reports.attach(job, options.acceptNewer);
    bool complete = false;
    QObject::connect(
        &job, &Comm_backup_download::signal_comm_backup_download_complete, &job,
        [&complete](bool success) { complete = success; }, Qt::QueuedConnection);
    if (!runJob(job))
        return Failed;
    if (!complete)
        return reports.exitCode != Done ? reports.exitCode : Failed;
    if (!named) {
        path = BackupFile::proposedName(reports.serial, QDate::currentDate());
        for (int n = 2; QFile::exists(path); ++n)
            path = BackupFile::proposedName(reports.serial, QDate::currentDate())
                       .replace(QLatin1String(".GTB2"), QStringLiteral("-%1.GTB2").arg(n));
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) ||
        !BackupFile::write(file, *document, reports.serial, reports.softwareVersion) ||
        !file.commit()) {
        failure(QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
        return Failed;
    }
    message(QCoreApplication::translate("MainWindow", "Backup Datei <B>%1</B> gespeichert.<BR>")
                .arg(path));
    return Done;
}

// Opens a .GTB2 file, or imports an old .GTB one, as the window's "open" does.
bool openDocument(const QString &path, DataImage &document, BackupFile::ReadResult &meta)
{
    const QString upper = path.toUpper();
    const bool legacy = upper.endsWith(QLatin1String(".GTB"));
    if (!legacy && !upper.endsWith(QLatin1String(".GTB2"))) {
        failure(QStringLiteral("%1: not a backup file (.GTB2 or .GTB)").arg(path));
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        failure(QStringLiteral("cannot read %1: %2").arg(path, file.errorString()));
        return false;
    }
    if (legacy) {
        if (LegacyImport::decodedLength(file.readAll()) != LegacyImport::CompleteLength) {
            failure(QStringLiteral("%1: not a complete backup of the old format").arg(path));
            return false;
        }
        file.seek(0);
        const LegacyImport::Result result = LegacyImport::read(file, document, nullptr);
        meta.serial = result.serial.toUpper();
        meta.softwareVersion = result.softwareVersion;
        return true;
    }
    meta = BackupFile::read(file, document, nullptr);
    if (meta.incomplete)
        failure(
            QStringLiteral("%1 is incomplete: only the sets it holds in full are used").arg(path));
    return true;
}

// Downloads the sets selected in `image` into it; the exit code when that failed.
int readFromStation(DataImage &image, const Options &options, QString *serial = nullptr,
                    QString *software = nullptr)
{
    Comm_backup_download job;
    job.setDocument(&image);
    TransferReports reports;
    reports.attach(job, options.acceptNewer);
    bool read = false;
    QObject::connect(
        &job, &Comm_backup_download::signal_comm_backup_download_complete, &job,
        [&read](bool success) { read = success; }, Qt::QueuedConnection);
    if (!runJob(job))
        return Failed;
    if (!read)
        return reports.exitCode != Done ? reports.exitCode : Failed;
    if (serial)
        *serial = reports.serial;
    if (software)
        *software = reports.softwareVersion;
    return Done;
}

int commandRestore(const QString &path, const Options &options)
{
    auto document = std::make_unique<DataImage>();
    BackupFile::ReadResult meta;
    if (!selectSets(options.sets, *document))
        return usage(QStringLiteral("--sets takes set keys or all"));
    if (!openDocument(path, *document, meta))
        return Failed;

    // What the document does not hold must come through the restore unchanged; the S88
    // configuration is the one such companion, so --verify takes it from the station first.
    std::unique_ptr<DataImage> before;
    if (options.verify && !document->s88Present &&
        UploadRules::takesPart(*document, Catalogue::Rueckmelder)) {
        before = std::make_unique<DataImage>();
        before->selectedSets[Catalogue::System] = 1;
        if (const int code = readFromStation(*before, options); code != Done)
            return code;
    }

    // What the restore is about to overwrite goes to a file first, so that a wrong restore can
    // be undone; without that file, nothing is sent.
    if (!options.keepPrevious.isEmpty()) {
        auto previous = std::make_unique<DataImage>();
        for (int set = 0; set < Catalogue::DataSetCount; ++set)
            previous->selectedSets[size_t(set)] = UploadRules::takesPart(*document, set) ? 1 : 0;
        QString serial, software;
        if (const int code = readFromStation(*previous, options, &serial, &software); code != Done)
            return code;
        QSaveFile file(options.keepPrevious);
        if (!file.open(QIODevice::WriteOnly) ||
            !BackupFile::write(file, *previous, serial, software) || !file.commit()) {
            failure(QStringLiteral("cannot write %1: %2; nothing was sent")
                        .arg(options.keepPrevious, file.errorString()));
            return Failed;
        }
        message(QCoreApplication::translate("MainWindow", "Backup Datei <B>%1</B> gespeichert.<BR>")
                    .arg(options.keepPrevious));
    }

    Comm_backup_upload job;
    job.setDocument(document.get());
    TransferReports reports;
    reports.attach(job, options.acceptNewer);
    bool complete = false;
    QObject::connect(
        &job, &Comm_backup_upload::signal_comm_backup_upload_complete, &job,
        [&complete](bool success) { complete = success; }, Qt::QueuedConnection);
    if (!runJob(job))
        return Failed;
    if (!complete)
        return reports.exitCode != Done ? reports.exitCode : Failed;
    if (!options.verify) {
        // The station may have dropped writes staged before a lost link: only a comparison
        // could tell, so the restore is not reported as done.
        if (!job.unconfirmedSets.isEmpty()) {
            failure(QStringLiteral("not confirmed; run restore --verify to compare"));
            return Failed;
        }
        return Done;
    }

    // Read back what was sent, with the download's own reads, and compare record by record.
    auto readBack = std::make_unique<DataImage>();
    UploadCheck::selectReadBack(*document, *readBack);
    if (const int code = readFromStation(*readBack, options); code != Done)
        return code;
    int compared = 0;
    QList<UploadCheck::Difference> differences =
        UploadCheck::compare(*document, *readBack, &compared);
    if (before) {
        ++compared;
        for (int i = 0; i < 256; ++i) {
            if (before->bank(0)[Catalogue::S88Offset + i] !=
                readBack->bank(0)[Catalogue::S88Offset + i]) {
                differences.append({QStringLiteral("s88"), 0, i});
                break;
            }
        }
    }
    for (const UploadCheck::Difference &d : differences)
        std::printf("differs %s %d byte %d\n", qPrintable(d.set), d.number, d.byte);
    std::fflush(stdout);
    if (!differences.isEmpty()) {
        failure(QStringLiteral("verify: %1 of %2 records differ")
                    .arg(differences.size())
                    .arg(compared));
        return Failed;
    }
    std::fprintf(stderr, "verify: all %d records match\n", compared);
    return Done;
}

// Two backups, or a backup and the station: a line per differing record.
int commandDiff(const QStringList &args, bool station, const Options &options)
{
    auto a = std::make_unique<DataImage>();
    auto b = std::make_unique<DataImage>();
    BackupFile::ReadResult meta;
    if (!openDocument(args.at(1), *a, meta))
        return BadUsage;
    std::unique_ptr<DataImage> only;
    if (station) {
        only = std::make_unique<DataImage>();
        if (!selectSets(options.sets, *only))
            return usage(QStringLiteral("--sets takes set keys or all"));
        b->selectedSets = only->selectedSets;
        if (const int code = readFromStation(*b, options); code != Done)
            return code;
    } else if (!openDocument(args.at(2), *b, meta)) {
        return BadUsage;
    }
    const QList<BackupDiff::Line> lines = BackupDiff::compare(*a, *b, only.get());
    for (const BackupDiff::Line &line : lines) {
        std::printf("%s %d %s%s\n", qPrintable(line.set), line.number,
                    qPrintable(BackupDiff::changeText(line.change)),
                    line.note.isEmpty() ? "" : qPrintable(QLatin1Char(' ') + line.note));
    }
    std::fflush(stdout);
    return lines.isEmpty() ? Done : Failed;
}

int commandInspect(const QString &path)
{
    auto document = std::make_unique<DataImage>();
    BackupFile::ReadResult meta;
    if (!openDocument(path, *document, meta))
        return Failed;
    std::printf("serial %s\nsoftware %s\n", qPrintable(meta.serial),
                qPrintable(meta.softwareVersion));
    for (int set = 0; set < Catalogue::DataSetCount; ++set) {
        if (!document->presentSets[size_t(set)])
            continue;
        const Catalogue::Entry &e = Catalogue::entry(set);
        if (e.statusOffset < 0) {
            std::printf("%s block\n", e.key);
            continue;
        }
        int count = 0;
        for (int n = 0; n < e.records; ++n)
            count += document->recordStatus[size_t(e.statusOffset + n)] > 0;
        std::printf("%s %d\n", e.key, count);
    }
    return Done;
}

int commandConvert(const QString &in, const QString &out)
{
    if (!in.toUpper().endsWith(QLatin1String(".GTB")))
        return usage(QStringLiteral("convert reads an old .GTB file"));
    auto document = std::make_unique<DataImage>();
    BackupFile::ReadResult meta;
    if (!openDocument(in, *document, meta))
        return Failed;
    QSaveFile file(out);
    if (!file.open(QIODevice::WriteOnly) ||
        !BackupFile::write(file, *document, meta.serial, meta.softwareVersion) || !file.commit()) {
        failure(QStringLiteral("cannot write %1: %2").arg(out, file.errorString()));
        return Failed;
    }
    return Done;
}

// Route n as the routes tab shows it.
int commandRoute(const QString &path, const QString &number)
{
    bool ok = false;
    const int n = number.toInt(&ok);
    if (!ok || n < 1 || n > 1000)
        return usage(QStringLiteral("route numbers run from 1 to 1000"));
    auto document = std::make_unique<DataImage>();
    BackupFile::ReadResult meta;
    if (!openDocument(path, *document, meta))
        return Failed;
    auto tr = [](const char *text) { return QCoreApplication::translate("MainWindow", text); };
    const qint8 status = document->recordStatus[size_t(Catalogue::StatusFahrstrassen + n)];
    if (status <= 0) {
        std::printf("%s %d\n%s\n", qPrintable(tr("Fahrstrasse")), n,
                    qPrintable(status == 0 ? tr("(nicht geladen!)") : tr("Datensatz ist leer!")));
        return Done;
    }
    quint8 record[RouteRecord::Size];
    document->copyRoute(n, record);
    const DecodedRoute route = RouteRecord::decode(record, 12, 20, 12);
    const QString mode = StatusTexts::toPlainText(
        tr("&nbsp;Fahrstrasse <b>%1</b>  &nbsp;&nbsp;  "
           "Kommentar: <b>\"%2\"</b>  &nbsp;&nbsp;  "
           "Modus: <b>%3</b>")
            .arg(n)
            .arg(route.comment.toHtmlEscaped(), route.mode.toHtmlEscaped()));
    std::printf("%s\n", qPrintable(mode));
    const QString keys = StatusTexts::toPlainText(
        tr("&nbsp;Starttaste: &nbsp; Plan &nbsp; %1 &nbsp; Zeile &nbsp; %2 &nbsp; Spalte &nbsp; "
           "%3 &nbsp;&nbsp;&nbsp;&nbsp;&nbsp; Zieltaste: &nbsp; Plan &nbsp; %4 &nbsp; Zeile "
           "&nbsp; %5 &nbsp; Spalte &nbsp; %6 ")
            .arg(route.startPlan, route.startRow, route.startColumn, route.destinationPlan,
                 route.destinationRow, route.destinationColumn));
    std::printf("%s\n", qPrintable(keys));
    std::printf("%s\t%s\t%s\t%s\n", qPrintable(tr("Nr")), qPrintable(tr("Typ")),
                qPrintable(tr("Adresse")), qPrintable(tr("Befehl")));
    for (int card = 0; card < 6; ++card) {
        std::printf("%s %s\n",
                    qPrintable(tr(qPrintable(QStringLiteral("Karte %1:").arg(card + 2)))),
                    qPrintable(tr(RouteRecord::cardTitle(card + 2))));
        const QList<RouteRow> &rows = route.cards[size_t(card)];
        for (int i = 0; i < rows.size(); ++i) {
            if (rows.at(i).isEmpty())
                continue;
            const int slot = card == 3 ? i / 2 + 1 : i + 1;
            std::printf("%d\t%s\t%s\t%s\n", slot, qPrintable(rows.at(i).type),
                        qPrintable(rows.at(i).address), qPrintable(rows.at(i).command));
        }
    }
    return Done;
}

int commandLsbUpdate(const QString &path, bool dryRun)
{
    LSB_Updater job;
    job.fileName = path;
    job.dryRun = dryRun;
    StationReports reports;
    reports.attach(job);
    bool refused = false;
    bool finished = false;
    auto tr = [](const char *text) { return QCoreApplication::translate("MainWindow", text); };
    auto refuse = [&](const QString &text) {
        failure(text);
        refused = true;
    };
    QObject::connect(
        &job, &LSB_Updater::signal_lsb_update_data, &job,
        [](ushort type, ushort, ushort sw) {
            std::printf("file type %u (%s)\nfile software %u\n", type,
                        qPrintable(LsbDevice::typeName(type)), sw);
        },
        Qt::QueuedConnection);
    QObject::connect(
        &job, &LSB_Updater::signal_lsb_update_device, &job,
        [&](ushort address, ushort type, ushort hw, ushort sw) {
            std::printf("device address %u\ndevice type %u (%s)\n"
                        "device hardware %u\ndevice software %u\n",
                        address, type, qPrintable(LsbDevice::typeName(type)), hw, sw);
            if (!LsbDevice::isUpdatable(type))
                refuse(tr("Update mit den ausgewählten USB-Gerät ist nicht "
                          "unterstützt!"));
        },
        Qt::QueuedConnection);
    QObject::connect(
        &job, &LSB_Updater::signal_lsb_update_file_error, &job,
        [&] { refuse(tr("Update Datei ist ungültig!")); }, Qt::QueuedConnection);
    QObject::connect(
        &job, &LSB_Updater::signal_lsb_update_invalid_mode, &job,
        [&] { refuse(tr("Gleistron ist nicht im Geräteeditor LSB Update Modus!")); },
        Qt::QueuedConnection);
    QObject::connect(
        &job, &LSB_Updater::signal_lsb_update_type_mismatch, &job,
        [&](ushort fileType, ushort deviceType) {
            refuse(tr("Der Gerätetyp der Firmware-Datei (%1) passt nicht zum Gerät "
                      "(%2)!")
                       .arg(LsbDevice::typeName(fileType), LsbDevice::typeName(deviceType)));
        },
        Qt::QueuedConnection);
    QObject::connect(
        &job, &Comm2Pc::signal_info_communicationError, &job,
        [](const QString &what) { message(StatusTexts::communicationError() + what); },
        Qt::QueuedConnection);
    QObject::connect(
        &job, &LSB_Updater::signal_lsb_update_finished, &job,
        [&](int bytes, int datagrams) {
            std::printf("sent %d bytes in %d datagrams\n", bytes, datagrams);
            finished = true;
        },
        Qt::QueuedConnection);
    int outcome = -1;
    int detail = 0;
    QObject::connect(
        &job, &LSB_Updater::signal_lsb_update_ended, &job,
        [&](int how, int where) {
            outcome = how;
            detail = where;
        },
        Qt::QueuedConnection);
    if (!runJob(job))
        return Failed;
    std::fflush(stdout);
    if (reports.exitCode != Done)
        return reports.exitCode;
    switch (outcome) {
    case LSB_Updater::Finished:
        return finished ? Done : Failed;
    case LSB_Updater::DryRun:
        std::printf("dry run: nothing sent\n");
        return Done;
    case LSB_Updater::LineCheckFailed:
        failure(QStringLiteral("%1: line %2 of the firmware file fails its check; nothing sent")
                    .arg(path)
                    .arg(detail));
        return Failed;
    case LSB_Updater::DatagramFailed:
        failure(QStringLiteral("update failed: the data from address %1 did not arrive; the "
                               "device was not told to take the firmware")
                    .arg(detail));
        return Failed;
    default:
        if (!refused)
            failure(QStringLiteral("nothing was sent"));
        return Failed;
    }
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("gleistron-cli"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Back up, restore and inspect an Orvandel Gleistron.\n\n"
        "Commands:\n"
        "  info                          find the station and print its identity\n"
        "  backup [OUT.GTB2] [--sets KEYS]\n"
        "                                download data sets into a backup file (without a name:\n"
        "                                Gleistron-<serial>-<date>.GTB2 here)\n"
        "  restore FILE [--sets KEYS] [--verify] [--keep-previous PREV.GTB2]\n"
        "                                upload the data sets of a backup file; --verify reads\n"
        "                                them back and prints each differing record\n"
        "  inspect FILE                  print what a backup file holds\n"
        "  convert IN.GTB OUT.GTB2       save an old backup file in the current format\n"
        "  route FILE N                  print route N as the routes tab shows it\n"
        "  diff A B                      compare two backups: <set> <number> "
        "added|removed|changed\n"
        "  diff FILE --station [--sets KEYS]\n"
        "                                compare a backup with the station\n"
        "  lsb-update FIRMWARE.lsb [--dry-run]\n"
        "                                update the LSB device the station holds in update mode\n\n"
        "Set keys: lokomotiven, gleisplan1, gleisplan2, gleisplan3, weichen, rueckmelder,\n"
        "fahrstrassen, lsb, hsb, system, lokbilder, or all.\n\n"
        "Exit status: 0 done, 1 failed, 2 bad usage, 3 no station, 4 wrong mode,\n"
        "5 declined (newer data model)."));
    parser.addHelpOption();
    const QCommandLineOption langOption(QStringLiteral("lang"),
                                        QStringLiteral("Message language (de or en)."),
                                        QStringLiteral("LANG"), QStringLiteral("de"));
    const QCommandLineOption newerOption(
        QStringLiteral("accept-newer-datamodel"),
        QStringLiteral("Go on when the station's data model is newer."));
    const QCommandLineOption setsOption(QStringLiteral("sets"),
                                        QStringLiteral("Data sets to transfer."),
                                        QStringLiteral("KEYS"), QStringLiteral("all"));
    const QCommandLineOption verifyOption(
        QStringLiteral("verify"),
        QStringLiteral("After a restore, read the sets back and compare."));
    const QCommandLineOption debugOption(QStringLiteral("debug"),
                                         QStringLiteral("Print the link's debug lines."));
    const QCommandLineOption dryRunOption(
        QStringLiteral("dry-run"),
        QStringLiteral("lsb-update: read the file and the device, send nothing."));
    const QCommandLineOption keepOption(
        QStringLiteral("keep-previous"),
        QStringLiteral("restore: first save the sets about to be overwritten into PREV.GTB2."),
        QStringLiteral("PREV.GTB2"));
    const QCommandLineOption stationOption(
        QStringLiteral("station"), QStringLiteral("diff: compare the backup with the station."));
    parser.addOptions({langOption, newerOption, setsOption, verifyOption, debugOption, dryRunOption,
                       stationOption, keepOption});
    parser.addPositionalArgument(QStringLiteral("command"), QStringLiteral("What to do."));
    if (!parser.parse(QCoreApplication::arguments()))
        return usage(parser.errorText());
    if (parser.isSet(QStringLiteral("help"))) {
        std::fputs(qPrintable(parser.helpText()), stdout);
        return Done;
    }
    if (!parser.isSet(debugOption))
        QLoggingCategory::setFilterRules(QStringLiteral("gleistron.*.debug=false"));

    QTranslator translator;
    const QString lang = parser.value(langOption);
    if (lang == QLatin1String("en")) {
        if (translator.load(QStringLiteral(":/i18n/language_en.qm")))
            QCoreApplication::installTranslator(&translator);
    } else if (lang != QLatin1String("de")) {
        return usage(QStringLiteral("--lang takes de or en"));
    }

    const QStringList args = parser.positionalArguments();
    if (args.isEmpty())
        return usage(QStringLiteral("no command given"));

    if (::pipe(signalPipe) != 0)
        return Failed;
    struct sigaction action
    {
    };
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);

    Options options;
    options.acceptNewer = parser.isSet(newerOption);
    options.sets = parser.value(setsOption);
    options.verify = parser.isSet(verifyOption);
    options.keepPrevious = parser.value(keepOption);
    const QString command = args.first();
    if (options.verify && command != QLatin1String("restore"))
        return usage(QStringLiteral("--verify belongs to restore"));
    if (parser.isSet(keepOption) && command != QLatin1String("restore"))
        return usage(QStringLiteral("--keep-previous belongs to restore"));
    if (parser.isSet(stationOption) && command != QLatin1String("diff"))
        return usage(QStringLiteral("--station belongs to diff"));
    if (parser.isSet(dryRunOption) && command != QLatin1String("lsb-update"))
        return usage(QStringLiteral("--dry-run belongs to lsb-update"));
    const bool takesSets = command == QLatin1String("backup") ||
                           command == QLatin1String("restore") ||
                           (command == QLatin1String("diff") && parser.isSet(stationOption));
    if (parser.isSet(setsOption) && !takesSets)
        return usage(QStringLiteral("--sets belongs to backup, restore and diff --station"));
    try {
        if (command == QLatin1String("info")) {
            if (args.size() != 1)
                return usage(QStringLiteral("info takes no arguments"));
            return commandInfo();
        }
        if (command == QLatin1String("backup")) {
            if (args.size() > 2)
                return usage(QStringLiteral("backup takes at most the file to write"));
            return commandBackup(args.value(1), options);
        }
        if (command == QLatin1String("restore")) {
            if (args.size() != 2)
                return usage(QStringLiteral("restore takes the file to upload"));
            return commandRestore(args.at(1), options);
        }
        if (command == QLatin1String("convert")) {
            if (args.size() != 3)
                return usage(QStringLiteral("convert takes IN.GTB and OUT.GTB2"));
            return commandConvert(args.at(1), args.at(2));
        }
        if (command == QLatin1String("route")) {
            if (args.size() != 3)
                return usage(QStringLiteral("route takes a backup file and a route number"));
            return commandRoute(args.at(1), args.at(2));
        }
        if (command == QLatin1String("lsb-update")) {
            if (args.size() != 2)
                return usage(QStringLiteral("lsb-update takes a firmware file"));
            return commandLsbUpdate(args.at(1), parser.isSet(dryRunOption));
        }
        if (command == QLatin1String("diff")) {
            const bool station = parser.isSet(stationOption);
            if (args.size() != (station ? 2 : 3))
                return usage(QStringLiteral("diff takes two backup files, or one and --station"));
            return commandDiff(args, station, options);
        }
        if (command == QLatin1String("inspect")) {
            if (args.size() != 2)
                return usage(QStringLiteral("inspect takes a backup file"));
            return commandInspect(args.at(1));
        }
    } catch (const char *text) {
        failure(QString::fromLatin1(text));
        return Failed;
    }
    return usage(QStringLiteral("unknown command %1").arg(command));
}
