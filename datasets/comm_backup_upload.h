#pragma once

#include "backupjob.h"

#include <QMutex>
#include <functional>
#include <initializer_list>

// Writes the selected data sets that the document holds back into the station.
class Comm_backup_upload : public BackupJob
{
    Q_OBJECT
public:
    // Sets whose writes were staged on the station while the link was lost and recovered: a
    // station that restarts its session then drops them, so they are not confirmed. Read after
    // completion.
    QList<int> unconfirmedSets;
    // Sets whose writes had been sent, not committed, when an immediate stop ended the upload:
    // the station may keep them staged. Read after the job has ended.
    QList<int> stagedSets;

    // A stop takes effect where nothing of this upload is staged on the station: after the
    // set (or the group of sets sharing one commit) being sent has been committed, so that no
    // later upload can commit a cancelled one's writes. A second request stops at once.
    void requestStop() override;
    // What the station holds after an upload that ended early: the sets it took from the
    // document, those it kept, and those that may be staged.
    static void endedEarly(const DataImage &document, const QList<int> &finished,
                           const QList<int> &staged, int imagesTaken, TransferEvent &event);

signals:
    void signal_comm_backup_upload_complete(bool success);

protected:
    void run() override;

private:
    bool takesPart(int set) const;
    bool sent(int statusOffset, int n) const;
    void sendPlan(int plan);
    // Sends the records the document holds, with the section's progress; `after` runs after
    // every record number, sent or not.
    void sendRecords(int set, const std::function<void(int)> &send,
                     const std::function<void(int)> &after = {});
    void uploadLokomotiven();
    void uploadWeichen();
    void uploadRueckmelder();
    void uploadFahrstrassen();
    void uploadLsb();
    void uploadHsb();
    void uploadSystem();
    void uploadLokbilder();
    void confirm(int set, int recoveriesBefore);
    // Marks writes of `sets` as sent and not committed; a stop asked for before stays at once.
    void beginStaging(std::initializer_list<int> sets);
    void committed(std::initializer_list<int> sets);
    // Where a deferred stop takes effect: the lists commit first when they wait for it.
    void boundary();
    // The list commit: stores the locomotive lists and the system configuration.
    void commitLists();

    QMutex stagingMutex;
    QList<int> staging; // sets with writes sent and not yet committed
    bool stopAtBoundary = false;
    int imagesTaken = 0; // images committed, for a stop among them
    int listsFrom = 0;   // recoveries when the lists or the system configuration were staged
};
