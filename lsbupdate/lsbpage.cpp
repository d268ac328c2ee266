// The "LSB Update" page: firmware file and device side by side.

#include "lsbupdate/lsb_updater.h"
#include "lsbupdate/lsbfile.h"
#include "ui/mainwindow.h"
#include "ui_mainwindow.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QTextCursor>

namespace {
void inform(QWidget *parent, const QString &text)
{
    QMessageBox box(QMessageBox::Information, QStringLiteral("Gleistron Manager"), text,
                    QMessageBox::Ok, parent);
    box.exec();
}
} // namespace

void MainWindow::on_pushButton_lsb_file_clicked()
{
    const QString name = QFileDialog::getOpenFileName(this, tr("Firmware Datei"), QString(),
                                                      tr("Orvandel LSB Update Dateien (*.lsb)"));
    if (!name.isEmpty())
        startLsbUpdate(name);
}

void MainWindow::startLsbUpdate(const QString &firmwareFile)
{
    ui->lineEdit_lsb_filename->setText(firmwareFile);
    ui->widget_lsb_udate_progress->show();
    ui->widget_lsb_update_data_details->hide();
    ui->widget_lsb_update_device_details->hide();
    ui->label_lsb_update_data_task->setText(tr("Analysieren ..."));
    ui->label_lsb_update_data_task->show();
    ui->label_lsb_update_device_task->setText(tr("Analysieren ..."));
    ui->label_lsb_update_device_task->show();
    ui->widget_lsb_update_device->show();
    if (lsbUpdater->isRunning())
        return; // one update at a time; the running one keeps its file
    lsbUpdater->fileName = firmwareFile;
    lsbUpdater->start();
}

bool MainWindow::lsbUpdateRunning() const
{
    return lsbUpdater->isRunning();
}

void MainWindow::comm_lsb_update_data(unsigned short type, unsigned short, unsigned short sw)
{
    ui->label_lsb_update_data_typ->setText(LsbDevice::typeName(type));
    ui->label_lsb_update_data_sw->setText(QString::number(sw));
    ui->label_lsb_update_data_task->hide();
    ui->widget_lsb_update_data_details->show();
}

void MainWindow::comm_lsb_update_device(unsigned short, unsigned short type, unsigned short hw,
                                        unsigned short sw)
{
    ui->label_lsb_update_device_task->hide();
    ui->widget_lsb_update_device_details->show();
    ui->label_lsb_update_device_typ->setText(LsbDevice::typeName(type));
    if (LsbDevice::isUpdatable(type)) {
        ui->label_lsb_update_device_hw->setText(QString::number(hw));
        ui->label_lsb_update_device_sw->setText(QString::number(sw));
        return;
    }
    ui->label_lsb_update_device_hw->clear();
    ui->label_lsb_update_device_sw->clear();
    inform(this, tr("Update mit den ausgewählten USB-Gerät ist nicht unterstützt!"));
}

void MainWindow::comm_lsb_update_file_error()
{
    ui->label_lsb_update_device_hw->clear();
    ui->label_lsb_update_device_sw->clear();
    inform(this, tr("Update Datei ist ungültig!"));
}

void MainWindow::comm_lsb_update_invalid_mode()
{
    ui->label_lsb_update_device_hw->clear();
    ui->label_lsb_update_device_sw->clear();
    consoleAppend(tr("<BR><span style=\"font-weight:bold;color:#990000;\">FEHLER:</span> "
                     "Gleistron ist nicht im Geräteeditor Update Modus (bitte das Gerät im "
                     "Geräteeditor auswählen, indem man auf den Tastensymbol in die Liste "
                     "klickt)!<BR>"));
    inform(this, tr("Gleistron ist nicht im Geräteeditor LSB Update Modus!"));
}

void MainWindow::comm_lsb_update_type_mismatch(unsigned short fileType, unsigned short deviceType)
{
    inform(this, tr("Der Gerätetyp der Firmware-Datei (%1) passt nicht zum Gerät (%2)!")
                     .arg(LsbDevice::typeName(fileType), LsbDevice::typeName(deviceType)));
}

void MainWindow::on_pushButton_lsb_update_cancel_clicked()
{
    ui->lineEdit_lsb_filename->clear();
    ui->widget_lsb_udate_progress->hide();
}
