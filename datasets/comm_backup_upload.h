#pragma once

#include "backupjob.h"

// Writes the selected data sets that the document holds back into the station.
class Comm_backup_upload : public BackupJob
{
    Q_OBJECT
signals:
    void signal_comm_backup_upload_complete(bool success);

protected:
    void run() override;

private:
    bool takesPart(int set) const;
    bool sent(int statusOffset, int n) const;
    void sendPlan(int plan);
    void uploadLokomotiven();
    void uploadWeichen();
    void uploadRueckmelder();
    void uploadFahrstrassen();
    void uploadLsb();
    void uploadHsb();
    void uploadSystem();
    void uploadLokbilder();
};
