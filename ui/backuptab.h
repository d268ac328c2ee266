#pragma once

#include "workflows/transfersession.h"
#include "link/statustexts.h"

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QString>
#include <memory>

namespace Ui {
class MainWindow;
}
class Document;
class JobHost;
class QCheckBox;
class QLabel;

// The backup tab: direction, selection, starting a transfer and following it to its end.
class BackupTab : public QObject
{
    Q_OBJECT
public:
    BackupTab(JobHost &host, Ui::MainWindow *ui, Document &document, QObject *parent = nullptr);

    void chooseDownload();
    void chooseUpload();
    void selectAll(bool checked);
    void startDownload();
    void startUpload();
    void compareWithStation();
    // After the look at the station: what the upload will do, asked; "Nein" is the default.
    void askToUpload(const QList<BackupDiff::Line> &lines);
    void progress(int permille);
    // Stops the running transfer between two exchanges (an upload at its next commit; a
    // second press at once).
    void cancel();
    void versionProblem(int version);
    // Back to idle after a job: the controls of a transfer come back.
    void returnToIdle(bool refresh);
    // The check boxes and the source labels after a change of the document.
    void refresh();
    void setTransferButtonsEnabled(bool enabled);
    // The group that tells about an opened file.
    void showFileInfo(bool shown);
    // Before one upload: the file that keeps what it overwrites, instead of asking for it
    // (the tests' way in). Used once.
    QString keepPreviousFile;
    TransferSession &session() { return *transfers; }
    // The link of the running transfer is down (the bar says so and its time stops) or back.
    void linkLost(bool lost);

signals:
    void message(const QString &html); // a console fragment
    void documentChanged();            // the labels that show the document need a refresh
    void routesChanged();              // the route list needs a repaint from the document
    void busyChanged(bool busy);       // a transfer began or ended
    // The comparison with the station ended: what differs (added: only the station holds it).
    void stationCompared(const QList<BackupDiff::Line> &lines, const QString &serial);

private:
    bool takeSelection();
    void begin(const QString &actionText);
    void sessionFinished(const TransferSession::Result &result);
    // The file for "Vorher sichern": asked for until it can take the data, or empty.
    QString askKeepPrevious();
    bool versionAccepted(int version);

    JobHost &host;
    Ui::MainWindow *ui;
    Document &document;
    std::unique_ptr<TransferSession> transfers;
    QList<QCheckBox *> setBoxes; // in data-set order
    QList<QLabel *> sourceLabels;
    QLabel *summary = nullptr; // the document in one line
    void showTimeLeft();
    QString documentSummary() const;
    void hideProgress();
    void untickAll();

    bool transferring = false;
    QElapsedTimer clock; // of the running transfer, for the time left
    QElapsedTimer lostClock;
    qint64 pausedMs = 0; // the link was down this long
    StatusTexts::TimeLeft timeLeft;
    bool lost = false;
    bool comparing = false;
    bool previewing = false; // the look before an upload
    TransferSession::RestoreOptions pendingRestore;
};
