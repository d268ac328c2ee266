// The backup tab: direction, selection, starting a transfer and following it.

#include "datasets/backuptab.h"

#include "backupfile/backupfile.h"
#include "backupfile/document.h"
#include "datasets/comm_backup_download.h"
#include "datasets/comm_backup_upload.h"
#include "datasets/uploadcheck.h"
#include "datasets/uploadrules.h"
#include "link/statustexts.h"
#include "ui/mainwindow.h"
#include "ui_mainwindow.h"

#include <QCoreApplication>
#include <QDate>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QSaveFile>
#include <utility>

BackupTab::BackupTab(MainWindow &window, Ui::MainWindow *ui, Document &document)
    : window(window), ui(ui), document(document)
{
    ui->groupBox_backup_open->hide();
    ui->pushButton_backup_download->hide();
    ui->pushButton_backup_upload->hide();
    ui->label_backup_action->hide();
    setTransferButtonsEnabled(true);
    ui->pushButton_backup_cancel->hide();
    ui->checkBox_backup_keep_previous->hide();
    ui->checkBox_backup_verify->hide();
    ui->progressBar_backup->hide(); // until the first transfer: idle, it looks like a field
    ui->groupBox_backupInfo->hide();
    ui->label_datum_backup->hide();
    ui->label_datum_backup_label->hide();
    setBoxes = {ui->checkBox_lokomotiven,  ui->checkBox_gleisplan1, ui->checkBox_gleisplan2,
                ui->checkBox_gleisplan3,   ui->checkBox_weichen,    ui->checkBox_rueckmelder,
                ui->checkBox_fahrstrassen, ui->checkBox_lsb,        ui->checkBox_hsb,
                ui->checkBox_system,       ui->checkBox_lokbilder};
    sourceLabels = {
        ui->label_source_lokomotiven,  ui->label_source_gleisplan1, ui->label_source_gleisplan2,
        ui->label_source_gleisplan3,   ui->label_source_weichen,    ui->label_source_rueckmelder,
        ui->label_source_fahrstrassen, ui->label_source_lsb,        ui->label_source_hsb,
        ui->label_source_system,       ui->label_source_lokbilder};
}

void BackupTab::chooseDownload()
{
    ui->pushButton_backup_dir_comm_pc->setStyleSheet(
        QStringLiteral("* { background-color: rgb(50,200,50) }"));
    ui->pushButton_backup_dir_pc_comm->setStyleSheet(QString());
    ui->groupBox_backup_daten->show();
    ui->label_backup_richtung->hide();
    ui->pushButton_backup_upload->hide();
    ui->checkBox_backup_keep_previous->hide();
    ui->checkBox_backup_verify->hide();
    ui->pushButton_backup_download->show();
    window.refreshLabels();
}

void BackupTab::chooseUpload()
{
    ui->pushButton_backup_dir_pc_comm->setStyleSheet(
        QStringLiteral("* { background-color: rgb(50,200,50) }"));
    ui->pushButton_backup_dir_comm_pc->setStyleSheet(QString());
    ui->groupBox_backup_daten->show();
    ui->label_backup_richtung->hide();
    ui->pushButton_backup_download->hide();
    ui->pushButton_backup_upload->show();
    ui->checkBox_backup_keep_previous->show();
    ui->checkBox_backup_verify->show();
    window.refreshLabels();
}

void BackupTab::selectAll(bool checked)
{
    for (QCheckBox *box : std::as_const(setBoxes))
        box->setChecked(checked);
    for (QCheckBox *box : std::as_const(setBoxes)) {
        if (!box->isEnabled())
            box->setChecked(false);
    }
}

void BackupTab::refresh()
{
    // The document is the transfer's until it has reported its end: its status and presence
    // flags are read after that, not while the job writes them.
    if (transferring)
        return;
    // "Visible" means the direction chosen on the tab, whichever tab is in front.
    const bool downloadChosen = !ui->pushButton_backup_download->isHidden();
    const bool uploadChosen = !ui->pushButton_backup_upload->isHidden();
    for (int set = 0; set < Catalogue::DataSetCount; ++set) {
        QCheckBox *box = setBoxes.at(set);
        if (downloadChosen)
            box->setEnabled(true);
        else if (uploadChosen)
            box->setEnabled(document.image.presentSets[size_t(set)] != 0);
        if (!box->isEnabled())
            box->setChecked(false);
    }
    for (int set = 0; set < Catalogue::DataSetCount; ++set) {
        const bool present = document.image.presentSets[size_t(set)] != 0;
        QLabel *label = sourceLabels.at(set);
        label->setText(present ? QCoreApplication::translate("MainWindow", "(Daten vorhanden)")
                               : QStringLiteral("-"));
        if (Catalogue::entry(set).statusOffset >= 0 && set != Catalogue::Lokbilder) {
            label->setToolTip(
                present ? QCoreApplication::translate("MainWindow", "%n Datensätze", nullptr,
                                                      document.image.presentRecords(set))
                        : QString());
        }
    }
    if (!document.fileName.isEmpty()) {
        ui->label_serialNr_backup->setText(document.sourceSerial.toUpper());
        ui->label_softwareVersion_backup->setText(document.sourceSoftware);
    }
}

void BackupTab::setFileActionsEnabled(bool enabled)
{
    ui->action_leeren->setEnabled(enabled);
    ui->actionSpeichern->setEnabled(enabled);
    ui->actionSpeichern_unter->setEnabled(enabled);
    ui->action_oeffnen->setEnabled(enabled);
}

void BackupTab::setTransferButtonsEnabled(bool enabled)
{
    ui->pushButton_backup_download->setEnabled(enabled);
    ui->pushButton_backup_upload->setEnabled(enabled);
}

void BackupTab::start(BackupJob *job, const QString &actionText, DataImage *image)
{
    transferring = true;
    clock.start();
    ui->progressBar_backup->setFormat(QStringLiteral("%p%"));
    ui->progressBar_backup->setTextVisible(true);
    ui->progressBar_backup->show();
    ui->pushButton_backup_cancel->show();
    ui->label_backup_action->setText(actionText);
    ui->label_backup_action->show();
    setTransferButtonsEnabled(false);
    QObject::connect(job, &BackupJob::signal_comm_fahrstrassen_loaded, &window,
                     &MainWindow::comm_fahrstrassen_loaded, Qt::QueuedConnection);
    QObject::connect(job, &BackupJob::signal_comm_backup_message, &window,
                     &MainWindow::comm_backup_message, Qt::QueuedConnection);
    QObject::connect(job, &BackupJob::signal_comm_progress, &window, &MainWindow::comm_progress,
                     Qt::QueuedConnection);
    QObject::connect(job, &BackupJob::signal_comm_transfer_stopped, &window,
                     &MainWindow::comm_transfer_stopped, Qt::QueuedConnection);
    window.connectStatus(job);
    job->setDocument(image ? image : &document.image);
    setFileActionsEnabled(false);
    window.trackJob(job);
    // The next step of an upload starts once this job has ended (and let go of its adapter).
    QObject::connect(
        job, &QThread::finished, &window,
        [this] {
            if (auto next = std::exchange(pendingNext, nullptr))
                next();
        },
        Qt::QueuedConnection);
    job->start();
}

bool BackupTab::takeSelection()
{
    for (int set = 0; set < Catalogue::DataSetCount; ++set)
        document.image.selectedSets[size_t(set)] = setBoxes.at(set)->isChecked() ? 1 : 0;
    if (std::any_of(document.image.selectedSets.begin(), document.image.selectedSets.end(),
                    [](quint8 f) { return f != 0; }))
        return true;
    window.consoleAppend(QCoreApplication::translate(
        "MainWindow", "<BR><B>&nbsp;&nbsp;&nbsp;&nbsp;Warnung: keine Datensätze "
                      "ausgewählt!</B><BR>"));
    return false;
}

void BackupTab::startDownload()
{
    if (window.refuseWhileBusy() || !takeSelection())
        return;
    startDownloadJob(&document.image);
}

// A download into the document, or into an image beside it (the steps around an upload).
void BackupTab::startDownloadJob(DataImage *image)
{
    downloadJob = new Comm_backup_download;
    QObject::connect(downloadJob, &Comm_backup_download::signal_comm_backup_download_complete,
                     &window, &MainWindow::comm_backup_download_complete, Qt::QueuedConnection);
    QObject::connect(downloadJob, &BackupJob::signal_comm_version_problem, &window,
                     &MainWindow::comm_version_problem_download, Qt::QueuedConnection);
    start(downloadJob,
          QCoreApplication::translate("MainWindow", "Lade Datensätze aus Gleistron ..."), image);
}

void BackupTab::startUpload()
{
    if (window.refuseWhileBusy() || !takeSelection())
        return;
    if (ui->checkBox_backup_keep_previous->isChecked()) {
        if (keepPreviousFile.isEmpty())
            keepPreviousFile = QFileDialog::getSaveFileName(
                &window, QCoreApplication::translate("MainWindow", "Vorher sichern"),
                BackupFile::proposedName(window.stationSerial(), QDate::currentDate()),
                QCoreApplication::translate("MainWindow", "Gleistron BackUp Datei (*.GTB2)"));
        if (keepPreviousFile.isEmpty())
            return;
        startAside(Step::KeepPrevious);
        return;
    }
    startUploadJob();
}

void BackupTab::startUploadJob()
{
    step = Step::Upload;
    uploadJob = new Comm_backup_upload;
    QObject::connect(uploadJob, &Comm_backup_upload::signal_comm_backup_upload_complete, &window,
                     &MainWindow::comm_backup_upload_complete, Qt::QueuedConnection);
    QObject::connect(uploadJob, &BackupJob::signal_comm_version_problem, &window,
                     &MainWindow::comm_version_problem_upload, Qt::QueuedConnection);
    start(uploadJob,
          QCoreApplication::translate("MainWindow", "Speichere Datensätze im Gleistron ..."));
}

// A download beside the document: what the upload is about to overwrite, or what it left.
void BackupTab::startAside(Step next)
{
    step = next;
    aside = std::make_unique<DataImage>();
    if (next == Step::KeepPrevious) {
        for (int set = 0; set < Catalogue::DataSetCount; ++set)
            aside->selectedSets[size_t(set)] = UploadRules::takesPart(document.image, set) ? 1 : 0;
    } else {
        UploadCheck::selectReadBack(document.image, *aside);
    }
    startDownloadJob(aside.get());
}

void BackupTab::reportVerify()
{
    int compared = 0;
    const QList<UploadCheck::Difference> differences =
        UploadCheck::compare(document.image, *aside, &compared);
    if (differences.isEmpty()) {
        window.consoleAppend(
            QCoreApplication::translate("MainWindow",
                                        "<span style=\"font-weight:bold;color:#006600;\">Prüfung: "
                                        "alle %1 Datensätze stimmen überein.</span><BR>")
                .arg(compared));
        return;
    }
    QString lines;
    for (const UploadCheck::Difference &d : differences)
        lines += QCoreApplication::translate("MainWindow", "%1 %2 ab Byte %3<BR>")
                     .arg(d.set)
                     .arg(d.number)
                     .arg(d.byte);
    window.consoleAppend(
        QCoreApplication::translate("MainWindow",
                                    "<span style=\"font-weight:bold;color:#990000;\">Prüfung: %1 "
                                    "von %2 Datensätzen weichen ab:</span><BR>")
            .arg(differences.size())
            .arg(compared) +
        lines);
}

void BackupTab::progress(int permille)
{
    ui->progressBar_backup->setValue(permille);
    // The time left, once a few seconds give an estimate worth showing.
    const qint64 elapsed = clock.isValid() ? clock.elapsed() : 0;
    if (!transferring || permille <= 0 || permille >= 1000 || elapsed < 3000) {
        ui->progressBar_backup->setFormat(QStringLiteral("%p%"));
        return;
    }
    const qint64 left = elapsed * (1000 - permille) / permille / 1000;
    ui->progressBar_backup->setFormat(
        QCoreApplication::translate("MainWindow", "%p% – noch %1")
            .arg(QStringLiteral("%1:%2").arg(left / 60).arg(left % 60, 2, 10, QLatin1Char('0'))));
}

void BackupTab::cancel()
{
    if (!transferring)
        return;
    for (BackupJob *job : {static_cast<BackupJob *>(downloadJob.data()),
                           static_cast<BackupJob *>(uploadJob.data())}) {
        if (job && job->isRunning())
            job->requestStop();
    }
}

void BackupTab::transferStopped()
{
    returnToIdle(true);
}

void BackupTab::returnToIdle(bool refresh)
{
    transferring = false;
    step = Step::Idle;
    pendingNext = nullptr;
    aside.reset();
    ui->pushButton_backup_cancel->hide();
    setFileActionsEnabled(true);
    if (refresh)
        window.refreshLabels();
    ui->label_backup_action->setText(QString());
    ui->label_backup_action->hide();
    setTransferButtonsEnabled(true);
}

void BackupTab::downloadComplete(bool success)
{
    if (step == Step::KeepPrevious && success) {
        QSaveFile file(keepPreviousFile);
        if (!file.open(QIODevice::WriteOnly) ||
            !BackupFile::write(file, *aside, window.stationSerial(),
                               window.stationSoftwareVersion()) ||
            !file.commit()) {
            window.consoleAppend(QCoreApplication::translate(
                "MainWindow", "<BR><span style=\"font-weight:bold;color:#990000;\">Datei kann "
                              "nicht geschrieben werden!</span><BR><BR>"));
            returnToIdle(true);
            return;
        }
        window.consoleAppend(
            QCoreApplication::translate("MainWindow", "Backup Datei <B>%1</B> gespeichert.<BR>")
                .arg(keepPreviousFile.toHtmlEscaped()));
        keepPreviousFile.clear();
        pendingNext = [this] { startUploadJob(); };
        return;
    }
    if (step == Step::Verify) {
        if (success)
            reportVerify();
        returnToIdle(true);
        return;
    }
    if (success) {
        document.modified = true;
        document.setSource(window.stationSerial(), window.stationSoftwareVersion());
    }
    returnToIdle(true);
}

void BackupTab::uploadComplete(bool success)
{
    if (success && ui->checkBox_backup_verify->isChecked()) {
        pendingNext = [this] { startAside(Step::Verify); };
        return;
    }
    returnToIdle(success);
}

bool BackupTab::versionAccepted(int version)
{
    QString stationText = QString::number(version);
    stationText.insert(1, QLatin1Char('.'));
    window.consoleAppend(
        QCoreApplication::translate(
            "MainWindow", "<BR><span style=\"font-weight:bold;color:#660000;\">WARNUNG! Gleistron "
                          "Manager Version veraltet!</span><BR>Datenmodell Version im Gleistron: "
                          "%1<BR>Datenmodell Version im Gleistron Manager: %2")
            .arg(stationText, Comm2Pc::versionText(Comm2Pc::modelVersionLimit)));
    window.consoleAppend(QStringLiteral("<BR><BR>"));
    const QString link =
        QLatin1String(StatusTexts::webHost) +
        QCoreApplication::translate(
            "MainWindow",
            "/index.php?show=categories&cPath=155_158&cId=158&lang=de#Gleistron Manager");
    QMessageBox box(QMessageBox::Warning, QStringLiteral("GleistronManager"),
                    QCoreApplication::translate(
                        "MainWindow",
                        "<B>Warnung!</B> <BR><BR>Ihr Gleistron verwendet eine neuere Software "
                        "Version, die eine Verwendung alter Backup Programme nicht vorsieht. Um "
                        "auch alle neuen Gleistron Features sichern zu können, verwenden Sie bitte "
                        "die aktuelle Version des Gleistron Managers. Sie finden diesen kostenlos "
                        "auf unserer <a href=\"%1\">Internet Seite</a>. <BR><BR> <span "
                        "style=\"font-weight:bold;color:#990000;font-size:120%;\">Achtung !!!! Sie "
                        "führen ein Backup mit einer veralteten Software aus. Es ist nicht "
                        "garantiert dass alle Daten gesichert oder auf den Gleistron übertragen "
                        "werden.</span> <BR><BR>  Möchten Sie trotzdem fortsetzen?")
                        .arg(link.toHtmlEscaped()),
                    QMessageBox::NoButton, &window);
    box.setTextFormat(Qt::RichText);
    QPushButton *yes =
        box.addButton(QCoreApplication::translate("MainWindow", "Ja"), QMessageBox::YesRole);
    QPushButton *cancel = box.addButton(QCoreApplication::translate("MainWindow", "Abbrechen"),
                                        QMessageBox::RejectRole);
    box.setDefaultButton(cancel);
    box.exec();
    return box.clickedButton() == yes;
}

void BackupTab::answerVersionProblem(BackupJob *job, int version)
{
    if (versionAccepted(version)) {
        if (job)
            job->continueTransfer();
        return;
    }
    if (job)
        job->abandonTransfer();
    returnToIdle(true);
}

void BackupTab::versionProblemDownload(int version)
{
    answerVersionProblem(downloadJob, version);
}

void BackupTab::versionProblemUpload(int version)
{
    answerVersionProblem(uploadJob, version);
}
