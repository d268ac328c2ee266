#pragma once

#include "datasets/transferevent.h"
#include "model/backupdiff.h"
#include "model/recordmerge.h"
#include "model/uploadcheck.h"
#include "sessionproblem.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

class BackupJob;
class StationLink;
class DataImage;
class Document;

// The workflows that talk to the station about a document, once for the window and the
// command-line tool: a download into it; a restore from it (keep what it overwrites, upload,
// read back whole and compare); a comparison with the station. Every data-safety rule of these
// lives here. Lives on the GUI thread; one job runs at a time, the next step starts once the
// last one has ended and let go of its adapter.
class TransferSession : public QObject
{
    Q_OBJECT
public:
    enum class Outcome { Done, Failed, NoStation, WrongMode, Declined, Stopped };
    enum class Step { Idle, CheckBefore, KeepPrevious, Download, Upload, Verify, Compare };

    struct Result
    {
        Outcome outcome = Outcome::Done;
        SessionProblem problem; // why a Failed restore ended before it sent anything
        QList<int> finishedSets;
        QList<int> unconfirmedSets; // upload: staged while the link was lost
        bool verified = false;      // the read-back ran to its end
        int compared = 0;
        QList<UploadCheck::Difference> differences; // verify, station-only records included
        QList<BackupDiff::Line> lines;              // compare
        QString keptFile;                           // what keep-previous wrote
        bool keptFileTaken = false; // keep-previous found its name taken when it came to write
        QString serial, software;   // the station, as it reported itself
    };

    struct RestoreOptions
    {
        QString keepPrevious; // a new file for what the restore overwrites; empty: none
        bool verify = false;
    };

    explicit TransferSession(QObject *parent = nullptr);
    ~TransferSession() override;

    bool busy() const { return step != Step::Idle; }
    Step currentStep() const { return step; }

    // Downloads the selected sets (the image's selectedSets) into the document.
    void download(Document &document);
    // Uploads the selected sets the document holds, with the steps the options ask for.
    void restore(Document &document, const RestoreOptions &options);
    // Takes single records of the document back into the station: reads their sets from it,
    // replaces those records in that copy (the copy is what keep-previous keeps), sends the
    // sets whole and verifies as asked. Records the document does not hold are left (the
    // station has no delete); none held fails as NothingSelected.
    void restoreRecords(Document &document, const QList<RecordMerge::Record> &records,
                        const RestoreOptions &options);
    // Reads the selected sets from the station and compares them with the document.
    void compare(Document &document);

    // What the last comparison that ran to its end read from the station, kept until the next
    // one starts; null before.
    const DataImage *comparedStation() const;

    // Asks the running job to stop (an upload at its next commit boundary; again: at once).
    void requestStop();
    // The answer to versionProblem.
    void answerVersion(bool goOn);

    // Why a file may not take what a restore overwrites (it is the restore's source, or the
    // name is taken, also by a link, or it cannot be written); empty when it may. The file is
    // created only when written, and refused then when the name was taken meanwhile.
    static SessionProblem keepPreviousProblem(const QString &target, const QString &source);
    // The file's sets that a restore of the selection would refuse (damaged or cut), or what
    // stops it from sending anything; empty when it may go on.
    static SessionProblem restoreProblem(const Document &document);
    static SessionProblem
    restoreProblem(const Document &document,
                   const std::array<quint8, Catalogue::DataSetCount> &selectedSets);

signals:
    // A job of the session has been created and is about to start: connect its station
    // reports (queued) and track it.
    void jobStarted(StationLink *job);
    void stepStarted(TransferSession::Step step);
    // The jobs' section lines.
    void message(const QString &html);
    // What the jobs and the session have to say beyond them.
    void report(const TransferEvent &event);
    void progress(int permille);
    void versionProblem(int version);
    // A download rewrote the document's route records.
    void routesChanged();
    void finished(const TransferSession::Result &result);

private:
    // A read beside the document (`beside`: ReadForCompare or ReadForKeeping) reports itself
    // as such, not as a download into it.
    void runDownload(DataImage *image, const std::function<void(bool complete)> &done,
                     std::optional<TransferEvent::Kind> beside = std::nullopt);
    void runUpload();
    void startJob(BackupJob *job);
    void end(Outcome outcome);
    void fail(const SessionProblem &problem);
    void say(TransferEvent::Kind kind);
    // A restore's start: its state reset, then what would stop it before it reads or sends
    // anything; false (and ended) when something does.
    bool prepareRestore(Document &source, const RestoreOptions &restoreOptions,
                        const std::array<quint8, Catalogue::DataSetCount> &selected);
    void afterCheck(bool complete);
    void afterKeep(bool complete);
    void afterMergeRead(bool complete);
    // Writes what the restore overwrites to the keep-previous file; false (and ended) if not.
    bool keepAside(Document &previous);
    void afterUpload(bool complete);
    void afterVerify(bool complete);

    Step step = Step::Idle;
    Document *document = nullptr;
    RestoreOptions options;
    Result result;
    std::unique_ptr<Document> aside;    // what keep-previous, verify or compare read
    std::unique_ptr<Document> compared; // the station's side of the last comparison
    std::unique_ptr<DataImage> before;  // the S88 configuration before a restore that lacks it
    std::unique_ptr<Document> merged;   // restoreRecords: the station's sets with the records
    QList<RecordMerge::Record> chosen;
    QPointer<BackupJob> job;
    std::function<void()> next; // runs once the current job has ended
    Outcome jobOutcome = Outcome::Done;
    bool jobComplete = false;
    bool touched = false; // the download has begun writing the document
    bool stopAsked = false;
};
