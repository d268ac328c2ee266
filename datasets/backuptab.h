#pragma once

#include <QElapsedTimer>
#include <QList>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>

namespace Ui {
class MainWindow;
}
class BackupJob;
class Comm_backup_download;
class Comm_backup_upload;
class DataImage;
class Document;
class MainWindow;
class QCheckBox;
class QLabel;

// The backup tab: direction, selection, starting a transfer and following it to its end.
class BackupTab
{
public:
    BackupTab(MainWindow &window, Ui::MainWindow *ui, Document &document);

    void chooseDownload();
    void chooseUpload();
    void selectAll(bool checked);
    void startDownload();
    void startUpload();
    void progress(int permille);
    void cancel();          // stops the running transfer between two exchanges
    void transferStopped(); // the job has stopped part-way
    void downloadComplete(bool success);
    void uploadComplete(bool success);
    void versionProblemDownload(int version);
    void versionProblemUpload(int version);
    // Back to idle after a job: the controls of a transfer come back.
    void returnToIdle(bool refresh);
    // The check boxes and the source labels after a change of the document.
    void refresh();
    void setFileActionsEnabled(bool enabled);
    void setTransferButtonsEnabled(bool enabled);
    // Before an upload: the file that keeps what it overwrites (the window asks for it when
    // empty). Empty: no keeping.
    QString keepPreviousFile;

private:
    // An upload with its steps around it: keep what it overwrites, upload, read back and compare.
    enum class Step { Idle, KeepPrevious, Upload, Verify };
    bool takeSelection();
    void start(BackupJob *job, const QString &actionText, DataImage *image = nullptr);
    void startUploadJob();
    void startDownloadJob(DataImage *image);
    void startAside(Step step);
    void stepDone(bool success);
    void reportVerify();
    Step step = Step::Idle;
    std::unique_ptr<DataImage> aside;  // the kept or read-back sets
    std::function<void()> pendingNext; // runs when the current job has ended
    bool versionAccepted(int version);
    void answerVersionProblem(BackupJob *job, int version);

    MainWindow &window;
    Ui::MainWindow *ui;
    Document &document;
    QPointer<Comm_backup_download> downloadJob;
    QPointer<Comm_backup_upload> uploadJob;
    QList<QCheckBox *> setBoxes; // in data-set order
    QList<QLabel *> sourceLabels;
    bool transferring = false;
    QElapsedTimer clock; // of the running transfer, for the time left
};
