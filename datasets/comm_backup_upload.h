#pragma once

#include "backupjob.h"

#include <functional>

// Writes the selected data sets that the document holds back into the station.
class Comm_backup_upload : public BackupJob
{
    Q_OBJECT
public:
    // Sets whose writes were staged on the station while the link was lost and recovered: a
    // station that restarts its session then drops them, so they are not confirmed. Read after
    // completion.
    QList<int> unconfirmedSets;
    static QString unconfirmedMessage(const QList<int> &sets);

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
};
