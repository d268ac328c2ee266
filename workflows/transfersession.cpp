#include "transfersession.h"

#include "backupfile/document.h"
#include "datasets/comm_backup_download.h"
#include "datasets/comm_backup_upload.h"
#include "model/uploadrules.h"

#include <QCoreApplication>
#include <QFile>
#include <QSaveFile>
#include <sys/stat.h>

using namespace Catalogue;

namespace {

QString translated(const char *text)
{
    return QCoreApplication::translate("MainWindow", text);
}

QString errorHtml(const QString &text)
{
    return QStringLiteral("<BR><span style=\"font-weight:bold;color:#990000;\">%1</span><BR>")
        .arg(text);
}

// The same file, also through a link, a hard link or another spelling of the path.
bool sameFile(const QString &a, const QString &b)
{
    struct stat x
    {
    }, y{};
    if (::stat(QFile::encodeName(a).constData(), &x) != 0 ||
        ::stat(QFile::encodeName(b).constData(), &y) != 0)
        return false;
    return x.st_dev == y.st_dev && x.st_ino == y.st_ino;
}

} // namespace

TransferSession::TransferSession(QObject *parent) : QObject(parent) {}

TransferSession::~TransferSession()
{
    // A job still running would write into a document that may be gone: it is stopped and
    // waited for (the window never gets here with one running).
    if (job && job->isRunning()) {
        job->requestStop();
        job->requestStop();
        job->wait();
    }
}

QString TransferSession::keepPreviousProblem(const QString &target, const QString &source,
                                             QString *html)
{
    auto problem = [html](const QString &text, const QString &translated) {
        if (html)
            *html = errorHtml(translated);
        return text;
    };
    if (!source.isEmpty() && sameFile(target, source))
        return problem(
            QStringLiteral("%1 is the file being restored; keep the previous state in another "
                           "file")
                .arg(target),
            translated(
                QT_TRANSLATE_NOOP(
                    "MainWindow",
                    "%1 ist die Datei, die hochgeladen wird. Bitte den vorherigen Stand in einer "
                    "anderen Datei sichern; nichts wurde gesendet."))
                .arg(target.toHtmlEscaped()));
    if (Document::nameTaken(target))
        return problem(
            QStringLiteral("%1 exists; the previous state goes into a new file").arg(target),
            translated(QT_TRANSLATE_NOOP("MainWindow", "%1 gibt es schon; nichts wurde gesendet."))
                .arg(target.toHtmlEscaped()));
    // Known now, not after the station has been read.
    QSaveFile probe(target);
    if (!probe.open(QIODevice::WriteOnly))
        return problem(
            QStringLiteral("cannot write %1: %2").arg(target, probe.errorString()),
            translated(
                QT_TRANSLATE_NOOP("MainWindow",
                                  "%1 kann nicht geschrieben werden: %2; nichts wurde gesendet."))
                .arg(target.toHtmlEscaped(), probe.errorString().toHtmlEscaped()));
    probe.cancelWriting();
    return QString();
}

QString TransferSession::restoreProblem(const Document &document, QString *html)
{
    const DataImage &image = document.image;
    QStringList damagedKeys, damagedNames, places;
    // Where the reading stopped, or the file as a whole is not as written, any set may be
    // missing.
    const bool cut = document.incomplete;
    for (const BackupFile::Damage &d : document.damage) {

        if (d.set < 0 || !image.selectedSets[size_t(d.set)])
            continue;
        if (!damagedKeys.contains(QLatin1String(entry(d.set).key))) {
            damagedKeys.append(QLatin1String(entry(d.set).key));
            damagedNames.append(translated(entry(d.set).name));
        }
        places.append(BackupFile::describe(d));
    }
    // A file cut between two sections may have lost any set the selection asks for.
    bool missing = false;
    for (int set = 0; set < DataSetCount; ++set)
        missing = missing || (image.selectedSets[size_t(set)] && !image.presentSets[size_t(set)]);
    if (!damagedKeys.isEmpty() || (cut && missing)) {
        if (html)
            *html = errorHtml(
                translated(
                    QT_TRANSLATE_NOOP("MainWindow",
                                      "Die Datei ist beschädigt (%1); nichts wurde gesendet."))
                    .arg(damagedNames.isEmpty()
                             ? translated(QT_TRANSLATE_NOOP("MainWindow", "unvollständig"))
                             : damagedNames.join(", ")));
        return damagedKeys.isEmpty()
                   ? QStringLiteral(
                         "the file is cut short or damaged and may lack selected sets; nothing "
                         "was sent (--sets with the sets it holds restores them)")
                   : QStringLiteral("the file is damaged in %1 (%2); nothing was sent (--sets "
                                    "without them restores the rest)")
                         .arg(damagedKeys.join(QLatin1Char(',')),
                              places.join(QStringLiteral("; ")));
    }
    for (int set = 0; set < DataSetCount; ++set) {
        if (UploadRules::takesPart(image, set))
            return QString();
    }
    if (html)
        *html = errorHtml(translated(QT_TRANSLATE_NOOP(
            "MainWindow", "Keiner der ausgewählten Datensätze ist in der Datensicherung; "
                          "nichts wurde gesendet.")));
    return QStringLiteral("no selected set is in the file; nothing was sent");
}

void TransferSession::startJob(BackupJob *newJob)
{
    job = newJob;
    job->setParent(this);
    jobOutcome = Outcome::Done;
    jobComplete = false;
    connect(job, &BackupJob::signal_comm_backup_message, this, &TransferSession::message,
            Qt::QueuedConnection);
    connect(
        job, &BackupJob::signal_comm_progress, this,
        [this](int permille) {
            touched = true;
            emit progress(permille);
        },
        Qt::QueuedConnection);
    connect(job, &BackupJob::signal_comm_version_problem, this, &TransferSession::versionProblem,
            Qt::QueuedConnection);
    connect(
        job, &StationLink::signal_info_noGleistron, this, [this] { jobOutcome = Outcome::NoStation; },
        Qt::QueuedConnection);
    connect(
        job, &StationLink::signal_info_invalidMode, this, [this] { jobOutcome = Outcome::WrongMode; },
        Qt::QueuedConnection);
    connect(
        job, &BackupJob::signal_comm_transfer_stopped, this,
        [this] { jobOutcome = Outcome::Stopped; }, Qt::QueuedConnection);
    connect(
        job, &StationLink::signal_info_gleistronVersion, this,
        [this](const QString &serial, const QString &software, const QString &, const QString &) {
            result.serial = serial;
            result.software = software;
        },
        Qt::QueuedConnection);
    connect(
        job, &QThread::finished, this,
        [this, ended = job.data()] {
            if (auto step = std::exchange(next, nullptr))
                step();
            ended->deleteLater();
        },
        Qt::QueuedConnection);
    emit jobStarted(job);
    job->start();
}

namespace {
// The reads beside the document say what they read, and that the document stayed as it was.
const char *readForCompare =
    QT_TRANSLATE_NOOP("MainWindow", "Gleistron gelesen in %1 Sek., zum Vergleich; das Dokument "
                                    "bleibt unverändert.<BR>");
const char *readForKeeping =
    QT_TRANSLATE_NOOP("MainWindow", "Gleistron gelesen in %1 Sek., für „Vorher sichern“; das "
                                    "Dokument bleibt unverändert.<BR>");
} // namespace

void TransferSession::runDownload(DataImage *image, const std::function<void(bool)> &done,
                                  const char *finalMessage)
{
    auto *download = new Comm_backup_download;
    download->setDocument(image);
    download->setFinalMessage(finalMessage);
    connect(
        download, &Comm_backup_download::signal_comm_backup_download_complete, this,
        [this](bool success) { jobComplete = success; }, Qt::QueuedConnection);
    touched = false;
    next = [this, done] { done(jobComplete); };
    startJob(download);
}

void TransferSession::end(Outcome outcome)
{
    if (outcome == Outcome::Done && stopAsked)
        outcome = Outcome::Stopped;
    result.outcome = outcome;
    step = Step::Idle;
    aside.reset();
    before.reset();
    emit finished(result);
}

void TransferSession::fail(const QString &text, const QString &html)
{
    result.failure = text;
    result.failureHtml = html; // the window shows it, the tool prints `failure`
    end(Outcome::Failed);
}

// What ended a job without its completion: the station's report, or a failure.
static TransferSession::Outcome unfinished(TransferSession::Outcome reported)
{
    return reported == TransferSession::Outcome::Done ? TransferSession::Outcome::Failed : reported;
}

void TransferSession::download(Document &target)
{
    document = &target;
    result = Result{};
    stopAsked = false;
    step = Step::Download;
    emit stepStarted(step);
    runDownload(&target.image, [this](bool complete) {
        // A download that began has rewritten the document, finished or not.
        if (touched) {
            result.finishedSets = job ? job->finishedSets : QList<int>();
            document->downloaded(result.finishedSets, result.serial, result.software);
            if (document->image.selectedSets[Fahrstrassen])
                emit routesChanged();
        }
        end(complete ? Outcome::Done : unfinished(jobOutcome));
    });
}

void TransferSession::restore(Document &source, const RestoreOptions &restoreOptions)
{
    document = &source;
    options = restoreOptions;
    result = Result{};
    stopAsked = false;
    QString html;
    if (const QString why = restoreProblem(source, &html); !why.isEmpty()) {
        fail(why, html);
        return;
    }
    if (!options.keepPrevious.isEmpty()) {
        if (const QString why = keepPreviousProblem(options.keepPrevious, source.filePath, &html);
            !why.isEmpty()) {
            fail(why, html);
            return;
        }
    }
    // What the document does not hold must come through the restore unchanged; the S88
    // configuration is the one such companion, so a verified restore takes it first.
    if (options.verify && !source.image.s88Present &&
        UploadRules::takesPart(source.image, Rueckmelder)) {
        step = Step::CheckBefore;
        emit stepStarted(step);
        before = std::make_unique<DataImage>();
        before->selectedSets[System] = 1;
        runDownload(
            before.get(), [this](bool complete) { afterCheck(complete); }, readForCompare);
        return;
    }
    afterCheck(true);
}

void TransferSession::afterCheck(bool complete)
{
    if (!complete || stopAsked) {
        end(stopAsked ? Outcome::Stopped : unfinished(jobOutcome));
        return;
    }
    if (options.keepPrevious.isEmpty()) {
        runUpload();
        return;
    }
    step = Step::KeepPrevious;
    emit stepStarted(step);
    aside = std::make_unique<Document>();
    for (int set = 0; set < DataSetCount; ++set)
        aside->image.selectedSets[size_t(set)] =
            UploadRules::takesPart(document->image, set) ? 1 : 0;
    // The feedback modules' upload overwrites the S88 configuration too, which a file holds
    // only with the system configuration: that is kept as well.
    if (UploadRules::takesPart(document->image, Rueckmelder) && document->image.s88Present)
        aside->image.selectedSets[System] = 1;
    runDownload(
        &aside->image, [this](bool ok) { afterKeep(ok); }, readForKeeping);
}

void TransferSession::afterKeep(bool complete)
{
    if (!complete || stopAsked) {
        emit message(translated(QT_TRANSLATE_NOOP("MainWindow", "Nichts wurde gesendet.<BR>")));
        end(stopAsked ? Outcome::Stopped : unfinished(jobOutcome));
        return;
    }
    aside->setSource(result.serial, result.software);
    // Created now, never over a file or through a link that appeared since the check.
    const Document::Created created = aside->saveNew(options.keepPrevious);
    if (created == Document::Created::NameTaken) {
        result.keptFileTaken = true;
        fail(QStringLiteral("%1 appeared during the restore and stays as it is; nothing was "
                            "sent")
                 .arg(options.keepPrevious),
             errorHtml(translated(QT_TRANSLATE_NOOP("MainWindow",
                                                    "%1 gibt es schon; nichts wurde gesendet."))
                           .arg(options.keepPrevious.toHtmlEscaped())));
        return;
    }
    if (created != Document::Created::Yes) {
        fail(QStringLiteral("cannot write %1: %2; nothing was sent")
                 .arg(options.keepPrevious, aside->errorText),
             errorHtml(
                 translated(QT_TRANSLATE_NOOP(
                                "MainWindow",
                                "%1 kann nicht geschrieben werden: %2; nichts wurde gesendet."))
                     .arg(options.keepPrevious.toHtmlEscaped(), aside->errorText.toHtmlEscaped())));
        return;
    }
    result.keptFile = options.keepPrevious;
    emit message(
        translated(QT_TRANSLATE_NOOP("MainWindow", "Backup Datei <B>%1</B> gespeichert.<BR>"))
            .arg(options.keepPrevious.toHtmlEscaped()));
    aside.reset();
    if (stopAsked) {
        emit message(translated(QT_TRANSLATE_NOOP("MainWindow", "Nichts wurde gesendet.<BR>")));
        end(Outcome::Stopped);
        return;
    }
    runUpload();
}

void TransferSession::runUpload()
{
    step = Step::Upload;
    emit stepStarted(step);
    auto *upload = new Comm_backup_upload;
    upload->setDocument(&document->image);
    connect(
        upload, &Comm_backup_upload::signal_comm_backup_upload_complete, this,
        [this](bool success) { jobComplete = success; }, Qt::QueuedConnection);
    next = [this, upload] {
        result.finishedSets = upload->finishedSets;
        result.unconfirmedSets = upload->unconfirmedSets;
        afterUpload(jobComplete);
    };
    startJob(upload);
}

void TransferSession::afterUpload(bool complete)
{
    if (!complete) {
        end(unfinished(jobOutcome));
        return;
    }
    if (!options.verify || stopAsked) {
        end(Outcome::Done);
        return;
    }
    step = Step::Verify;
    emit stepStarted(step);
    aside = std::make_unique<Document>();
    UploadCheck::selectReadBack(document->image, aside->image);
    runDownload(
        &aside->image, [this](bool ok) { afterVerify(ok); }, readForCompare);
}

void TransferSession::afterVerify(bool complete)
{
    if (!complete) {
        end(stopAsked ? Outcome::Stopped : unfinished(jobOutcome));
        return;
    }
    // The read-back is the station's whole state of the sets: every record the document
    // holds, and every one it does not.
    result.differences = UploadCheck::compare(document->image, aside->image, &result.compared);
    if (before) {
        ++result.compared;
        for (int i = 0; i < 256; ++i) {
            if (before->s88()[i] != aside->image.s88()[i]) {
                result.differences.append({QStringLiteral("s88"), 0, i});
                break;
            }
        }
    }
    result.verified = true;
    emit message(verifyHtml());
    end(Outcome::Done);
}

QString TransferSession::verifyHtml() const
{
    if (result.differences.isEmpty())
        return translated(
                   QT_TRANSLATE_NOOP("MainWindow",
                                     "<span style=\"font-weight:bold;color:#006600;\">Prüfung: "
                                     "alle %1 Datensätze und Blöcke "
                                     "stimmen überein.</span><BR>"))
            .arg(result.compared);
    QString lines;
    for (const UploadCheck::Difference &d : result.differences) {
        lines += d.stationOnly
                     ? translated(QT_TRANSLATE_NOOP("MainWindow", "%1 %2: nur im Gleistron<BR>"))
                           .arg(d.set)
                           .arg(d.number)
                     : translated(QT_TRANSLATE_NOOP("MainWindow", "%1 %2 ab Byte %3<BR>"))
                           .arg(d.set)
                           .arg(d.number)
                           .arg(d.byte);
    }
    const int stationOnly = UploadCheck::stationOnlyCount(result.differences);
    QString text =
        translated(
            QT_TRANSLATE_NOOP("MainWindow",
                              "<span style=\"font-weight:bold;color:#990000;\">Prüfung: %1 von %2 "
                              "Datensätzen weichen ab:</span><BR>"))
            .arg(result.differences.size())
            .arg(result.compared) +
        lines;
    if (stationOnly > 0)
        text +=
            translated(
                QT_TRANSLATE_NOOP(
                    "MainWindow",
                    "%1 Datensätze hat nur der Gleistron, nicht die Datensicherung. Der Gleistron "
                    "behält sie; sollen sie weg, bitte am Gleistron löschen.<BR>"))
                .arg(stationOnly);
    return text;
}

void TransferSession::compare(Document &target)
{
    document = &target;
    result = Result{};
    stopAsked = false;
    step = Step::Compare;
    emit stepStarted(step);
    aside = std::make_unique<Document>();
    aside->image.selectedSets = target.image.selectedSets;
    runDownload(
        &aside->image,
        [this](bool complete) {
            if (!complete) {
                end(stopAsked ? Outcome::Stopped : unfinished(jobOutcome));
                return;
            }
            result.lines = BackupDiff::compare(document->image, aside->image, &aside->image);
            end(Outcome::Done);
        },
        readForCompare);
}

void TransferSession::requestStop()
{
    if (step == Step::Idle)
        return;
    stopAsked = true;
    if (job && job->isRunning())
        job->requestStop();
}

void TransferSession::answerVersion(bool goOn)
{
    if (!job)
        return;
    if (goOn) {
        job->continueTransfer();
        return;
    }
    jobOutcome = Outcome::Declined;
    job->abandonTransfer();
}
