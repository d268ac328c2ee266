#include "transfersession.h"

#include "backupfile/document.h"
#include "datasets/comm_backup_download.h"
#include "datasets/comm_backup_upload.h"
#include "model/uploadrules.h"

#include <QFile>
#include <QSaveFile>
#include <sys/stat.h>

using namespace Catalogue;

namespace {

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

SessionProblem TransferSession::keepPreviousProblem(const QString &target, const QString &source)
{
    using Kind = SessionProblem::Kind;
    if (!source.isEmpty() && sameFile(target, source))
        return {Kind::KeepIsSource, target, {}, {}, {}};
    if (Document::nameTaken(target))
        return {Kind::KeepTaken, target, {}, {}, {}};
    // Known now, not after the station has been read.
    QSaveFile probe(target);
    if (!probe.open(QIODevice::WriteOnly))
        return {Kind::KeepUnwritable, target, probe.errorString(), {}, {}};
    probe.cancelWriting();
    return {};
}

SessionProblem TransferSession::restoreProblem(const Document &document)
{
    return restoreProblem(document, document.image.selectedSets);
}

SessionProblem TransferSession::restoreProblem(const Document &document,
                                               const std::array<quint8, DataSetCount> &selected)
{
    const DataImage &image = document.image;
    SessionProblem problem;
    // Where the reading stopped, or the file as a whole is not as written, any set may be
    // missing.
    const bool cut = document.incomplete;
    for (const BackupFile::Damage &d : document.damage) {
        if (d.set < 0 || !selected[size_t(d.set)])
            continue;
        if (!problem.sets.contains(d.set))
            problem.sets.append(d.set);
        problem.places.append(BackupFile::describe(d));
    }
    // A file cut between two sections may have lost any set the selection asks for.
    bool missing = false;
    for (int set = 0; set < DataSetCount; ++set)
        missing = missing || (selected[size_t(set)] && !image.presentSets[size_t(set)]);
    if (!problem.sets.isEmpty()) {
        problem.kind = SessionProblem::Kind::FileDamaged;
        return problem;
    }
    if (cut && missing)
        return {SessionProblem::Kind::FileCut, {}, {}, {}, {}};
    for (int set = 0; set < DataSetCount; ++set) {
        if (selected[size_t(set)] && image.presentSets[size_t(set)])
            return {};
    }
    return {SessionProblem::Kind::NothingSelected, {}, {}, {}, {}};
}

void TransferSession::startJob(BackupJob *newJob)
{
    job = newJob;
    job->setParent(this);
    jobOutcome = Outcome::Done;
    jobComplete = false;
    connect(job, &BackupJob::signal_comm_backup_message, this, &TransferSession::message,
            Qt::QueuedConnection);
    connect(job, &BackupJob::signal_comm_transfer_event, this, &TransferSession::report,
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
        job, &StationLink::signal_info_noGleistron, this,
        [this] { jobOutcome = Outcome::NoStation; }, Qt::QueuedConnection);
    connect(
        job, &StationLink::signal_info_invalidMode, this,
        [this] { jobOutcome = Outcome::WrongMode; }, Qt::QueuedConnection);
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

void TransferSession::runDownload(DataImage *image, const std::function<void(bool)> &done,
                                  std::optional<TransferEvent::Kind> beside)
{
    auto *download = new Comm_backup_download;
    download->setDocument(image);
    download->setQuiet(beside.has_value());
    connect(
        download, &Comm_backup_download::signal_comm_backup_download_complete, this,
        [this](bool success) { jobComplete = success; }, Qt::QueuedConnection);
    touched = false;
    next = [this, done, beside, download] {
        if (jobComplete && beside) {
            TransferEvent read;
            read.kind = *beside;
            read.seconds = download->seconds;
            emit report(read);
        }
        done(jobComplete);
    };
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

void TransferSession::fail(const SessionProblem &problem)
{
    result.problem = problem;
    end(Outcome::Failed);
}

void TransferSession::say(TransferEvent::Kind kind)
{
    TransferEvent event;
    event.kind = kind;
    event.path = options.keepPrevious;
    emit report(event);
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

bool TransferSession::prepareRestore(Document &source, const RestoreOptions &restoreOptions,
                                     const std::array<quint8, DataSetCount> &selected)
{
    document = &source;
    options = restoreOptions;
    result = Result{};
    stopAsked = false;
    SessionProblem problem = restoreProblem(source, selected);
    if (problem.none() && !options.keepPrevious.isEmpty())
        problem = keepPreviousProblem(options.keepPrevious, source.filePath);
    if (!problem.none())
        fail(problem);
    return problem.none();
}

void TransferSession::restore(Document &source, const RestoreOptions &restoreOptions)
{
    if (!prepareRestore(source, restoreOptions, source.image.selectedSets))
        return;
    // What the document does not hold must come through the restore unchanged; the S88
    // configuration is the one such companion, so a verified restore takes it first.
    if (options.verify && !source.image.s88Present &&
        UploadRules::takesPart(source.image, Rueckmelder)) {
        step = Step::CheckBefore;
        emit stepStarted(step);
        before = std::make_unique<DataImage>();
        before->selectedSets[System] = 1;
        runDownload(
            before.get(), [this](bool complete) { afterCheck(complete); },
            TransferEvent::Kind::ReadForCompare);
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
        &aside->image, [this](bool ok) { afterKeep(ok); }, TransferEvent::Kind::ReadForKeeping);
}

void TransferSession::afterKeep(bool complete)
{
    if (!complete || stopAsked) {
        say(TransferEvent::Kind::NothingSent);
        end(stopAsked ? Outcome::Stopped : unfinished(jobOutcome));
        return;
    }
    aside->setSource(result.serial, result.software);
    if (!keepAside(*aside))
        return;
    aside.reset();
    if (stopAsked) {
        say(TransferEvent::Kind::NothingSent);
        end(Outcome::Stopped);
        return;
    }
    runUpload();
}

bool TransferSession::keepAside(Document &previous)
{
    // Created now, never over a file or through a link that appeared since the check.
    const Document::Created created = previous.saveNew(options.keepPrevious);
    if (created == Document::Created::NameTaken) {
        result.keptFileTaken = true;
        fail({SessionProblem::Kind::KeepAppeared, options.keepPrevious, {}, {}, {}});
        return false;
    }
    if (created != Document::Created::Yes) {
        fail({SessionProblem::Kind::KeepWriteFailed,
              options.keepPrevious,
              previous.errorText,
              {},
              {}});
        return false;
    }
    result.keptFile = options.keepPrevious;
    say(TransferEvent::Kind::KeptFile);
    return true;
}

void TransferSession::restoreRecords(Document &source, const QList<RecordMerge::Record> &records,
                                     const RestoreOptions &restoreOptions)
{
    chosen.clear();
    for (const RecordMerge::Record &record : records) {
        if (RecordMerge::held(source.image, record))
            chosen.append(record);
    }
    // None held selects no set: NothingSelected.
    const std::array<quint8, DataSetCount> selected = RecordMerge::sets(chosen);
    if (!prepareRestore(source, restoreOptions, selected))
        return;
    // The station's own sets: everything but the chosen records goes back as it was. The
    // feedback modules bring the S88 configuration along, which their upload writes too.
    step = Step::KeepPrevious;
    emit stepStarted(step);
    merged = std::make_unique<Document>();
    merged->image.selectedSets = selected;
    runDownload(
        &merged->image, [this](bool complete) { afterMergeRead(complete); },
        TransferEvent::Kind::ReadForMerging);
}

void TransferSession::afterMergeRead(bool complete)
{
    if (!complete || stopAsked) {
        say(TransferEvent::Kind::NothingSent);
        end(stopAsked ? Outcome::Stopped : unfinished(jobOutcome));
        return;
    }
    merged->setSource(result.serial, result.software);
    // Before the records change: this is what the upload overwrites.
    if (!options.keepPrevious.isEmpty() && !keepAside(*merged))
        return;
    for (const RecordMerge::Record &record : std::as_const(chosen))
        RecordMerge::take(merged->image, document->image, record);
    // The upload and its verify work on the merged sets.
    document = merged.get();
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
        &aside->image, [this](bool ok) { afterVerify(ok); }, TransferEvent::Kind::ReadForCompare);
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
    TransferEvent verified;
    verified.kind = TransferEvent::Kind::Verified;
    verified.compared = result.compared;
    verified.differences = result.differences;
    emit report(verified);
    end(Outcome::Done);
}

void TransferSession::compare(Document &target)
{
    document = &target;
    result = Result{};
    stopAsked = false;
    step = Step::Compare;
    emit stepStarted(step);
    compared.reset();
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
            // Kept for what changed inside the records the lines name.
            compared = std::move(aside);
            end(Outcome::Done);
        },
        TransferEvent::Kind::ReadForCompare);
}

const DataImage *TransferSession::comparedStation() const
{
    return compared ? &compared->image : nullptr;
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
