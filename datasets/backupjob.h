#pragma once

#include "commands/comm2pc.h"
#include "model/dataimage.h"
#include "transferevent.h"

#include <QElapsedTimer>
#include <QMutex>
#include <QWaitCondition>

// What the download and the upload share: the document they work on, the version question,
// the per-mille progress and the section messages.
class BackupJob : public Comm2Pc
{
    Q_OBJECT
public:
    void setDocument(DataImage *image) { document = image; }

    // Answers to signal_comm_version_problem, from the window's thread.
    void continueTransfer();
    void abandonTransfer();
    void requestStop() override;

    static quint32 weightOf(int set);

    // Sets the transfer finished, in order; read after the job has ended.
    QList<int> finishedSets;
    // The whole transfer's time in seconds ("12.34"), once it has finished.
    QString seconds;
    // The selected sets of a download that ended early, finished and not (`done`, `left`).
    static void finishedAndLeft(const DataImage &document, const QList<int> &finished,
                                TransferEvent &event);

signals:
    void signal_comm_backup_message(QString message);
    // What the program says beyond the section lines: how a transfer ended early.
    void signal_comm_transfer_event(TransferEvent event);
    void signal_comm_progress(int permille);
    void signal_comm_fahrstrassen_loaded(short itemNr, bool success);
    void signal_comm_version_problem(int);
    // The transfer was stopped between two exchanges (a cancel, a closing window).
    void signal_comm_transfer_stopped();

protected:
    // Debug lines, and the wait for the user when the station's data model is newer.
    // False when the user declined: the job then ends without a transfer or completion.
    bool passVersionCheck(const char *jobName);
    // Finds the station, settles the version question and starts the progress over the
    // selected sets; false when the job has to end without a transfer.
    bool begin(const char *jobName);
    // Closes the transfer on the station and reports the end with the overall time (no
    // message: the caller reports it).
    void finish(const char *finalMessage);
    void startProgress(quint32 total);
    void emitProgress(quint32 position);
    void finishSection(quint32 weight);
    // The start message and the section clock; then the weight done and the end message.
    QElapsedTimer startSection(const char *text);
    void endSection(quint32 weight, const char *text, const QElapsedTimer &clock);
    void message(const char *text);
    void sectionEnd(const char *text, const QElapsedTimer &clock);
    void sectionEnd(const char *text, int plan, const QElapsedTimer &clock);
    qint8 &status(int statusOffset, int n);

    // Where the transfer is, for the message when the station keeps answering wrongly: the
    // set, the record (a track plan's block key; -1 for the set's companion or commit).
    int currentSet = -1;
    int currentRecord = -1;

    DataImage *document = nullptr;
    QElapsedTimer overall;
    quint32 weightTotal = 0;
    quint32 weightDone = 0;

private:
    QMutex versionMutex;
    QWaitCondition versionDecided;
    bool decided = false;
    bool accepted = false;
};
