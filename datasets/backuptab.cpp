// The backup tab: direction, selection, starting a transfer and following it.

#include "datasets/comm_backup_download.h"
#include "datasets/comm_backup_upload.h"
#include "link/statustexts.h"
#include "ui/mainwindow.h"
#include "ui_mainwindow.h"

#include <QMessageBox>
#include <QPushButton>

void MainWindow::on_pushButton_backup_dir_comm_pc_clicked()
{
    ui->pushButton_backup_dir_comm_pc->setStyleSheet(
        QStringLiteral("* { background-color: rgb(50,200,50) }"));
    ui->pushButton_backup_dir_pc_comm->setStyleSheet(QString());
    ui->groupBox_backup_daten->show();
    ui->label_backup_richtung->hide();
    ui->pushButton_backup_upload->hide();
    ui->pushButton_backup_download->show();
    refreshLabels();
}

void MainWindow::on_pushButton_backup_dir_pc_comm_clicked()
{
    ui->pushButton_backup_dir_pc_comm->setStyleSheet(
        QStringLiteral("* { background-color: rgb(50,200,50) }"));
    ui->pushButton_backup_dir_comm_pc->setStyleSheet(QString());
    ui->groupBox_backup_daten->show();
    ui->label_backup_richtung->hide();
    ui->pushButton_backup_download->hide();
    ui->pushButton_backup_upload->show();
    refreshLabels();
}

void MainWindow::on_checkBox_select_all_toggled(bool checked)
{
    for (QCheckBox *box : std::as_const(setBoxes))
        box->setChecked(checked);
    for (QCheckBox *box : std::as_const(setBoxes)) {
        if (!box->isEnabled())
            box->setChecked(false);
    }
}

void MainWindow::startTransfer(BackupJob *job, const QString &actionText)
{
    ui->label_backup_action->setText(actionText);
    ui->label_backup_action->show();
    setTransferButtonsEnabled(false);
    connect(job, &BackupJob::signal_comm_fahrstrassen_loaded, this,
            &MainWindow::comm_fahrstrassen_loaded, Qt::QueuedConnection);
    connect(job, &Comm2Pc::signal_info_invalidMode, this, &MainWindow::comm_info_invalidMode,
            Qt::QueuedConnection);
    connect(job, &Comm2Pc::signal_info_noGleistron, this, &MainWindow::comm_info_noGleistron,
            Qt::QueuedConnection);
    connect(job, &Comm2Pc::signal_info_gleistronVersion, this,
            &MainWindow::comm_info_gleistronVersion, Qt::QueuedConnection);
    connect(job, &BackupJob::signal_comm_backup_message, this, &MainWindow::comm_backup_message,
            Qt::QueuedConnection);
    connect(job, &BackupJob::signal_comm_progress, this, &MainWindow::comm_progress,
            Qt::QueuedConnection);
    job->setDocument(&document);
    setFileActionsEnabled(false);
    connect(job, &Comm2Pc::signal_exchange_failed, this, &MainWindow::comm_exchange_failed,
            Qt::QueuedConnection);
    connect(job, &Comm2Pc::signal_reconnected, this, &MainWindow::comm_resumed,
            Qt::QueuedConnection);
    trackJob(job);
    job->start();
}

bool MainWindow::takeSelection()
{
    for (int set = 0; set < Catalogue::DataSetCount; ++set)
        document.selectedSets[size_t(set)] = setBoxes.at(set)->isChecked() ? 1 : 0;
    if (std::any_of(document.selectedSets.begin(), document.selectedSets.end(),
                    [](quint8 f) { return f != 0; }))
        return true;
    consoleAppend(tr("<BR><B>&nbsp;&nbsp;&nbsp;&nbsp;Warnung: keine Datensätze "
                     "ausgewählt!</B><BR>"));
    return false;
}

void MainWindow::on_pushButton_backup_download_clicked()
{
    if (refuseWhileBusy() || !takeSelection())
        return;
    downloadJob = new Comm_backup_download;
    connect(downloadJob, &Comm_backup_download::signal_comm_backup_download_complete, this,
            &MainWindow::comm_backup_download_complete, Qt::QueuedConnection);
    connect(downloadJob, &BackupJob::signal_comm_version_problem, this,
            &MainWindow::comm_version_problem_download, Qt::QueuedConnection);
    startTransfer(downloadJob, tr("Lade Datensätze aus Gleistron ..."));
}

void MainWindow::on_pushButton_backup_upload_clicked()
{
    if (refuseWhileBusy() || !takeSelection())
        return;
    uploadJob = new Comm_backup_upload;
    connect(uploadJob, &Comm_backup_upload::signal_comm_backup_upload_complete, this,
            &MainWindow::comm_backup_upload_complete, Qt::QueuedConnection);
    connect(uploadJob, &BackupJob::signal_comm_version_problem, this,
            &MainWindow::comm_version_problem_upload, Qt::QueuedConnection);
    startTransfer(uploadJob, tr("Speichere Datensätze im Gleistron ..."));
}

void MainWindow::comm_progress(int permille)
{
    ui->progressBar_backup->setValue(permille);
}

void MainWindow::returnToIdle(bool refresh)
{
    setFileActionsEnabled(true);
    if (refresh)
        refreshLabels();
    ui->label_backup_action->setText(QString());
    ui->label_backup_action->hide();
    setTransferButtonsEnabled(true);
}

void MainWindow::comm_backup_download_complete(bool success)
{
    if (success) {
        modified = true;
        backupSerial = stationSerial;
        backupSoftwareVersion = stationSoftwareVersion;
    }
    returnToIdle(true);
}

void MainWindow::comm_backup_upload_complete(bool success)
{
    returnToIdle(success);
}

bool MainWindow::versionAccepted(int version)
{
    QString stationText = QString::number(version);
    stationText.insert(1, QLatin1Char('.'));
    consoleAppend(tr("<BR><span style=\"font-weight:bold;color:#660000;\">WARNUNG! Gleistron "
                     "Manager Version veraltet!</span><BR>Datenmodell Version im Gleistron: "
                     "%1<BR>Datenmodell Version im Gleistron Manager: %2")
                      .arg(stationText, Comm2Pc::versionText(Comm2Pc::modelVersionLimit)));
    consoleAppend(QStringLiteral("<BR><BR>"));
    const QString link =
        QLatin1String(StatusTexts::webHost) +
        tr("/index.php?show=categories&cPath=155_158&cId=158&lang=de#Gleistron Manager");
    QMessageBox box(QMessageBox::Warning, QStringLiteral("GleistronManager"),
                    tr("<B>Warnung!</B> <BR><BR>Ihr Gleistron verwendet eine neuere Software "
                       "Version, die eine Verwendung alter Backup Programme nicht vorsieht. Um "
                       "auch alle neuen Gleistron Features sichern zu können, verwenden Sie bitte "
                       "die aktuelle Version des Gleistron Managers. Sie finden diesen kostenlos "
                       "auf unserer <a href=\"%1\">Internet Seite</a>. <BR><BR> <span "
                       "style=\"font-weight:bold;color:#990000;font-size:120%;\">Achtung !!!! Sie "
                       "führen ein Backup mit einer veralteten Software aus. Es ist nicht "
                       "garantiert dass alle Daten gesichert oder auf den Gleistron übertragen "
                       "werden.</span> <BR><BR>  Möchten Sie trotzdem fortsetzen?")
                        .arg(link.toHtmlEscaped()),
                    QMessageBox::NoButton, this);
    box.setTextFormat(Qt::RichText);
    QPushButton *yes = box.addButton(tr("Ja"), QMessageBox::YesRole);
    QPushButton *cancel = box.addButton(tr("Abbrechen"), QMessageBox::RejectRole);
    box.setDefaultButton(cancel);
    box.exec();
    return box.clickedButton() == yes;
}

void MainWindow::answerVersionProblem(BackupJob *job, int version)
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

void MainWindow::comm_version_problem_download(int version)
{
    answerVersionProblem(downloadJob, version);
}

void MainWindow::comm_version_problem_upload(int version)
{
    answerVersionProblem(uploadJob, version);
}
