#include "mainwindow.h"

#include "datasets/comm_backup_download.h"
#include "datasets/comm_backup_upload.h"
#include "link/comm2pc.h"
#include "lsbupdate/lsb_updater.h"
#include "ui_mainwindow.h"

#include <QCloseEvent>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QTextCursor>
#include <QTimer>

namespace {
QString resourceText(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}
} // namespace

MainWindow::MainWindow(QWidget *parent) : QMainWindow(parent), ui(new Ui::MainWindow)
{
    ui->setupUi(this);
    title = QStringLiteral("Orvandel Gleistron Manager 1.3");
    updateHintShown = false;
    ui->menuSprache->menuAction()->setVisible(false);
    modified = false;

    ui->mainToolBar->hide();
    ui->groupBox_backup_open->hide();
    ui->pushButton_backup_download->hide();
    ui->pushButton_backup_upload->hide();
    ui->label_backup_action->hide();
    setTransferButtonsEnabled(true);
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
    document.presentSets.fill(0);

    ui->textEdit_manual_de->setHtml(resourceText(QStringLiteral(":/resources/manual_de.html")));
    ui->textEdit_manual_en->setHtml(resourceText(QStringLiteral(":/resources/manual_en.html")));
    applySavedLanguage();

    ui->actionSpeichern->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    ui->action_oeffnen->setIcon(style()->standardIcon(QStyle::SP_DialogOpenButton));
    on_tabWidget_currentChanged(ui->tabWidget->currentIndex());
    ui->widget_lsb_udate_progress->hide();
    ui->widget_lsb_update_device->hide();

    lsbUpdater = std::make_unique<LSB_Updater>();
    connect(lsbUpdater.get(), &Comm2Pc::signal_info_noGleistron, this,
            &MainWindow::comm_info_noGleistron, Qt::QueuedConnection);
    connect(lsbUpdater.get(), &Comm2Pc::signal_info_gleistronVersion, this,
            &MainWindow::comm_info_gleistronVersion, Qt::QueuedConnection);
    connect(lsbUpdater.get(), &Comm2Pc::signal_info_communicationError, this,
            &MainWindow::comm_info_communicationError, Qt::QueuedConnection);
    connect(lsbUpdater.get(), &LSB_Updater::signal_lsb_update_device, this,
            &MainWindow::comm_lsb_update_device, Qt::QueuedConnection);
    connect(lsbUpdater.get(), &LSB_Updater::signal_lsb_update_data, this,
            &MainWindow::comm_lsb_update_data, Qt::QueuedConnection);
    connect(lsbUpdater.get(), &LSB_Updater::signal_lsb_update_file_error, this,
            &MainWindow::comm_lsb_update_file_error, Qt::QueuedConnection);
    connect(lsbUpdater.get(), &LSB_Updater::signal_lsb_update_invalid_mode, this,
            &MainWindow::comm_lsb_update_invalid_mode, Qt::QueuedConnection);
    connect(lsbUpdater.get(), &LSB_Updater::signal_lsb_update_type_mismatch, this,
            &MainWindow::comm_lsb_update_type_mismatch, Qt::QueuedConnection);
    connect(lsbUpdater.get(), &LSB_Updater::signal_lsb_update_confirm, this,
            &MainWindow::comm_lsb_update_confirm, Qt::QueuedConnection);
    connect(lsbUpdater.get(), &LSB_Updater::signal_lsb_update_progress, this,
            &MainWindow::comm_lsb_update_progress, Qt::QueuedConnection);
    connect(lsbUpdater.get(), &LSB_Updater::signal_lsb_update_finished, this,
            &MainWindow::comm_lsb_update_finished, Qt::QueuedConnection);
    connect(lsbUpdater.get(), &LSB_Updater::signal_lsb_update_ended, this,
            &MainWindow::comm_lsb_update_ended, Qt::QueuedConnection);
    trackJob(lsbUpdater.get());

    cardCount3 = 12;
    cardCount5 = 20;
    cardCount7 = 12;
    buildRoutesTab();
    ui->tabWidget->removeTab(3);
    ui->tabWidget->removeTab(3);
    ui->pushButton_Fahrstrassen_refresh->setEnabled(false);
    ui->pushButton_Fahrstrassen_refresh->hide();
    ui->pushButton_Fahrstrassen_backup_load->hide();
    ui->checkBox_user_lokfunktionen->hide();
    ui->checkBox_user_signale->hide();
    refreshLabels();
}

MainWindow::~MainWindow()
{
    // Normally every job has ended before the window goes (see closeEvent); this is the last
    // guard against a job that would outlive the document it writes into.
    for (const QPointer<Comm2Pc> &job : std::as_const(jobs)) {
        if (job) {
            job->requestStop();
            job->wait();
        }
    }
}

void MainWindow::trackJob(Comm2Pc *job)
{
    // Owned by the window, so that a job whose deferred deletion never ran goes with it.
    if (job != lsbUpdater.get())
        job->setParent(this);
    jobs.append(job);
    connect(job, &QThread::finished, this, &MainWindow::jobFinished, Qt::QueuedConnection);
}

bool MainWindow::jobsRunning() const
{
    for (const QPointer<Comm2Pc> &job : jobs) {
        if (job && job->isRunning())
            return true;
    }
    return false;
}

bool MainWindow::refuseWhileBusy()
{
    if (!jobsRunning())
        return false;
    consoleAppend(tr("<BR><B>Es läuft bereits eine Übertragung mit dem Gleistron. Bitte warten, "
                     "bis sie beendet ist.</B><BR>"));
    return true;
}

void MainWindow::jobFinished()
{
    for (int i = jobs.size() - 1; i >= 0; --i) {
        Comm2Pc *job = jobs.at(i);
        if (!job) {
            jobs.removeAt(i);
        } else if (job != lsbUpdater.get() && job->isFinished()) {
            jobs.removeAt(i);
            job->deleteLater();
        }
    }
    if (closeAfterJobs && !jobsRunning()) {
        closeAfterJobs = false;
        QTimer::singleShot(0, this, &QWidget::close);
    }
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (jobsRunning()) {
        event->ignore();
        if (closeAfterJobs)
            return;
        QMessageBox box(QMessageBox::Question, QStringLiteral("Gleistron Manager"),
                        tr("Eine Übertragung mit dem Gleistron läuft noch.\n\nWollen Sie sie "
                           "abbrechen und das Programm beenden?"),
                        QMessageBox::NoButton, this);
        QPushButton *yes = box.addButton(tr("Ja"), QMessageBox::YesRole);
        QPushButton *no = box.addButton(tr("Nein"), QMessageBox::NoRole);
        box.setDefaultButton(no);
        box.setEscapeButton(no);
        box.exec();
        if (box.clickedButton() != yes)
            return;
        closeAfterJobs = true;
        consoleAppend(tr("<BR>Übertragung wird abgebrochen ...<BR>"));
        for (const QPointer<Comm2Pc> &job : std::as_const(jobs)) {
            if (job)
                job->requestStop();
        }
        // The transfer may have ended while the question was open: then nothing else will.
        if (!jobsRunning()) {
            closeAfterJobs = false;
            QTimer::singleShot(0, this, &QWidget::close);
        }
        return;
    }
    if (confirmDiscard())
        event->accept();
    else
        event->ignore();
}

bool MainWindow::confirmDiscard()
{
    if (!modified)
        return true;
    QMessageBox box(
        QMessageBox::Question, QStringLiteral("Gleistron Manager"),
        tr("Die geladene Datensätze sind nicht gespeichert. \n\n Wollen Sie speichern?"),
        QMessageBox::NoButton, this);
    QPushButton *yes = box.addButton(tr("Ja"), QMessageBox::YesRole);
    QPushButton *no = box.addButton(tr("Nein"), QMessageBox::NoRole);
    box.addButton(tr("Abbrechen"), QMessageBox::RejectRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(no);
    box.exec();
    // "Ja" goes on only when the data really reached a file; a cancelled or failed save keeps
    // the data.
    return box.clickedButton() == no || (box.clickedButton() == yes && saveBackupAs());
}

void MainWindow::consoleAppend(const QString &html)
{
    QTextCursor cursor = ui->textEdit_console->textCursor();
    cursor.movePosition(QTextCursor::End);
    ui->textEdit_console->setTextCursor(cursor);
    ui->textEdit_console->insertHtml(html);
    cursor.movePosition(QTextCursor::End);
    ui->textEdit_console->setTextCursor(cursor);
    ui->textEdit_console->ensureCursorVisible();
}

void MainWindow::setFileActionsEnabled(bool enabled)
{
    ui->action_leeren->setEnabled(enabled);
    ui->actionSpeichern->setEnabled(enabled);
    ui->actionSpeichern_unter->setEnabled(enabled);
    ui->action_oeffnen->setEnabled(enabled);
}

void MainWindow::setTransferButtonsEnabled(bool enabled)
{
    ui->pushButton_backup_download->setEnabled(enabled);
    ui->pushButton_backup_upload->setEnabled(enabled);
}

void MainWindow::refreshLabels()
{
    QString windowTitle;
    if (modified)
        windowTitle += QStringLiteral("* ");
    windowTitle += fileName;
    if (!fileName.isEmpty())
        windowTitle += QStringLiteral(" - ");
    setWindowTitle(windowTitle + title);

    if (!fileName.isEmpty()) {
        ui->label_serialNr_backup->setText(backupSerial.toUpper());
        ui->label_softwareVersion_backup->setText(backupSoftwareVersion);
    }

    // "Visible" means the direction chosen on the tab, whichever tab is in front.
    const bool downloadChosen = !ui->pushButton_backup_download->isHidden();
    const bool uploadChosen = !ui->pushButton_backup_upload->isHidden();
    for (int set = 0; set < Catalogue::DataSetCount; ++set) {
        QCheckBox *box = setBoxes.at(set);
        if (downloadChosen)
            box->setEnabled(true);
        else if (uploadChosen)
            box->setEnabled(document.presentSets[size_t(set)] != 0);
        if (!box->isEnabled())
            box->setChecked(false);
    }

    for (int set = 0; set < Catalogue::DataSetCount; ++set) {
        const bool present = document.presentSets[size_t(set)] != 0;
        QLabel *label = sourceLabels.at(set);
        label->setText(present ? tr("(Daten vorhanden)") : QStringLiteral("-"));
        if (Catalogue::entry(set).statusOffset >= 0 && set != Catalogue::Lokbilder) {
            label->setToolTip(present ? tr("%1 Datensätze").arg(document.presentRecords(set))
                                      : QString());
        }
    }
}

void MainWindow::on_tabWidget_currentChanged(int index)
{
    ui->actionDrucken->setEnabled(index == 2);
}

// The file group of the backup tab stays hidden; files are chosen from the menu.
void MainWindow::on_pushButton_backup_file_clicked() {}
