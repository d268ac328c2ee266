#pragma once

#include "backupjob.h"

// Copies the selected data sets from the station into the document.
class Comm_backup_download : public BackupJob
{
    Q_OBJECT
public:
    // A read beside the document (a compare, a check, "Vorher sichern") ends with this line
    // instead of the one that says the document was loaded.
    // A read beside the document ends without the download's last line: the caller says what
    // it read.
    void setQuiet(bool on) { quiet = on; }

signals:
    void signal_comm_backup_download_complete(bool success);

protected:
    void run() override;

private:
    void download(int set);
    // The set's records in order, with its progress; empty ones as the station names them.
    void readRecords(int set, bool (Comm_backup_download::*read)(int n));
    void readPlan(int plan);
    bool readLok(int n);
    bool readWeiche(int n);
    bool readRueckmelder(int n);
    bool readRoute(int n);
    bool readLsb(int n);
    bool readHsb(int n);
    bool readLokbild(int n);
    bool takeEmpty(int key);
    void clearRecord(int set, int n);
    void forgetUnfinished();

    bool quiet = false;
};
