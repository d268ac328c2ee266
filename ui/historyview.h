#pragma once

#include "backupfile/backupfolder.h"
#include "model/recordmerge.h"

#include <QDialog>
#include <QString>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;
class QThread;

// "Verlauf": the backups of a folder, oldest first, in which one record changed, appeared or
// went, with what changed inside; the folder is read on a thread of its own. From a row,
// that backup's state of the record can be taken back into the station.
class HistoryView : public QDialog
{
    Q_OBJECT
public:
    HistoryView(const QString &folder, const QString &set, int number, QWidget *parent);
    ~HistoryView() override;

signals:
    void takeBackRequested(const QString &path, const QList<RecordMerge::Record> &records);

private:
    void showHistory(const BackupFolder::RecordHistory &history);
    void selectionChanged();

    const QString folder;
    const QString set;
    const int number;
    BackupFolder::RecordHistory shown;
    QThread *reader = nullptr;
    QLabel *state;
    QTableWidget *table;
    QPlainTextEdit *details;
    QPushButton *takeBack;
};
