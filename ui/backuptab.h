#pragma once

#include "link/statustexts.h"
#include "workflows/transfersession.h"

#include <QElapsedTimer>
#include <QList>
#include <QString>
#include <QWidget>
#include <memory>

namespace Ui {
class BackupTab;
}
class Document;
class JobHost;
class QCheckBox;
class QLabel;

// The backup tab: direction, selection, starting a transfer and following it to its end.
class BackupTab : public QWidget
{
    Q_OBJECT
public:
    enum class Direction { None, Download, Upload };

    BackupTab(JobHost &host, Document &document, QWidget *parent = nullptr);
    ~BackupTab() override;

    Direction direction() const { return chosen; }
    // A transfer owns the document from its start until its results are in.
    bool transferRunning() const { return transferring; }
    // The form's texts in the language now installed, and the tab's own over them.
    void retranslate();
    // The hint how to connect a station, until one answers.
    void showConnectHint(bool shown);

    void chooseDownload();
    void chooseUpload();
    void selectAll(bool checked);
    void startDownload();
    void startUpload();
    void compareWithStation();
    // Takes single records of a backup (empty path: the document) back into the station,
    // after saying what that changes and how long it takes; "Nein" is the default.
    void takeBack(const QString &path, const QList<RecordMerge::Record> &records);
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
    // Another document was opened or the document emptied: the last transfer's bar and the
    // sets ticked to upload are not about it.
    void documentReplaced();
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
    void stationCompared(const QList<BackupDiff::Line> &lines, const QString &serial,
                         std::shared_ptr<const DataImage> station);

protected:
    void changeEvent(QEvent *event) override;

private:
    bool takeSelection();
    void begin(const char *actionText);
    void sessionFinished(const TransferSession::Result &result);
    // The file for "Vorher sichern": asked for until it can take the data, or empty.
    QString askKeepPrevious(const QString &source);
    bool versionAccepted(int version);

    JobHost &host;
    std::unique_ptr<Ui::BackupTab> ui;
    Document &document;
    Direction chosen = Direction::None;
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
    std::unique_ptr<Document> recordSource; // the backup records are taken back from
};
