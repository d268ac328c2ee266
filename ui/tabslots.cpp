// The window's slots for the tabs' widgets and jobs, by the names the widget tree and the jobs'
// signals give them: each forwards to the class that owns the tab.

#include "backupfile/documentactions.h"
#include "datasets/backuptab.h"
#include "lsbupdate/lsbpage.h"
#include "mainwindow.h"
#include "routes/routestab.h"

void MainWindow::on_action_oeffnen_triggered()
{
    actions->open();
}
void MainWindow::on_actionSpeichern_triggered()
{
    actions->save();
}
void MainWindow::on_actionSpeichern_unter_triggered()
{
    actions->saveAs();
}
void MainWindow::on_action_leeren_triggered()
{
    actions->clear();
}
// The file group of the backup tab stays hidden; files are chosen from the menu.
void MainWindow::on_pushButton_backup_file_clicked() {}
void MainWindow::on_pushButton_backup_dir_comm_pc_clicked()
{
    backup->chooseDownload();
}
void MainWindow::on_pushButton_backup_dir_pc_comm_clicked()
{
    backup->chooseUpload();
}
void MainWindow::on_checkBox_select_all_toggled(bool checked)
{
    backup->selectAll(checked);
}
void MainWindow::on_pushButton_backup_download_clicked()
{
    backup->startDownload();
}
void MainWindow::on_actionGleistronSuchen_triggered()
{
    searchStation(false);
}
void MainWindow::on_actionVergleichen_triggered()
{
    actions->compare();
}
void MainWindow::on_pushButton_backup_cancel_clicked()
{
    backup->cancel();
}
// The transfer session follows its jobs to their end and returns the tab to idle; these
// reports only refresh what the window shows.
void MainWindow::comm_transfer_stopped()
{
    refreshLabels();
}
void MainWindow::on_pushButton_backup_upload_clicked()
{
    backup->startUpload();
}
void MainWindow::comm_progress(int permille)
{
    backup->progress(permille);
}
void MainWindow::comm_backup_download_complete(bool)
{
    refreshLabels();
}
void MainWindow::comm_backup_upload_complete(bool)
{
    refreshLabels();
}
void MainWindow::comm_version_problem_download(int v)
{
    backup->versionProblem(v);
}
void MainWindow::comm_version_problem_upload(int v)
{
    backup->versionProblem(v);
}
void MainWindow::on_listWidget_Fahrstrassen_itemSelectionChanged()
{
    routes->showRoute();
}
void MainWindow::comm_fahrstrassen_loaded(short n, bool ok)
{
    routes->routesLoaded(n, ok);
}
void MainWindow::on_pushButton_Fahrstrassen_backup_load_clicked()
{
    routes->startLoader();
}
void MainWindow::on_actionDrucken_triggered()
{
    routes->print();
}
void MainWindow::on_pushButton_lsb_file_clicked()
{
    lsb->chooseFile();
}
void MainWindow::on_pushButton_lsb_update_cancel_clicked()
{
    lsb->cancel();
}
void MainWindow::comm_lsb_update_device(unsigned short address, unsigned short type,
                                        unsigned short hw, unsigned short sw)
{
    lsb->deviceArrived(address, type, hw, sw);
}
void MainWindow::comm_lsb_update_data(unsigned short type, unsigned short hw, unsigned short sw)
{
    lsb->fileArrived(type, hw, sw);
}
void MainWindow::comm_lsb_update_file_error()
{
    lsb->fileError();
}
void MainWindow::comm_lsb_update_invalid_mode()
{
    lsb->invalidMode();
}
void MainWindow::comm_lsb_update_type_mismatch(unsigned short file, unsigned short device)
{
    lsb->typeMismatch(file, device);
}
void MainWindow::comm_lsb_update_confirm(unsigned short fileType, unsigned short fileSoftware,
                                         unsigned short deviceType, unsigned short deviceSoftware)
{
    lsb->confirm(fileType, fileSoftware, deviceType, deviceSoftware);
}
void MainWindow::comm_lsb_update_progress(int permille)
{
    lsb->progress(permille);
}
void MainWindow::comm_lsb_update_finished(int bytes, int datagrams)
{
    lsb->finished(bytes, datagrams);
}
void MainWindow::comm_lsb_update_ended(int outcome, int detail)
{
    lsb->ended(outcome, detail);
}
