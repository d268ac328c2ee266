// The "LSB Update" page: firmware file and device side by side.

#include "lsbupdate/lsb_updater.h"
#include "lsbupdate/lsbfile.h"
#include "ui/mainwindow.h"
#include "ui_mainwindow.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
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
    if (refuseWhileBusy())
        return;
    const QString name = QFileDialog::getOpenFileName(this, tr("Firmware Datei"), QString(),
                                                      tr("Orvandel LSB Update Dateien (*.lsb)"));
    if (!name.isEmpty())
        startLsbUpdate(name);
}

void MainWindow::startLsbUpdate(const QString &firmwareFile)
{
    // No new file while an update runs: the page would show one file while another goes out.
    if (refuseWhileBusy())
        return;
    ui->lineEdit_lsb_filename->setText(firmwareFile);
    ui->progressBar_2->setValue(0);
    ui->widget_lsb_udate_progress->show();
    ui->widget_lsb_update_data_details->hide();
    ui->widget_lsb_update_device_details->hide();
    ui->label_lsb_update_data_task->setText(tr("Analysieren ..."));
    ui->label_lsb_update_data_task->show();
    ui->label_lsb_update_device_task->setText(tr("Analysieren ..."));
    ui->label_lsb_update_device_task->show();
    ui->widget_lsb_update_device->show();
    lsbUpdater->fileName = firmwareFile;
    lsbUpdater->confirmFirst = true;
    lsbUpdater->clearStopRequest();
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
    // A running update stops before its next datagram and sends no end command; the page
    // says so when the job has ended.
    if (lsbUpdater->isRunning())
        lsbUpdater->requestStop();
    ui->lineEdit_lsb_filename->clear();
    ui->widget_lsb_udate_progress->hide();
}

void MainWindow::comm_lsb_update_confirm(unsigned short fileType, unsigned short fileSoftware,
                                         unsigned short deviceType, unsigned short deviceSoftware)
{
    QMessageBox box(QMessageBox::Question, QStringLiteral("Gleistron Manager"),
                    tr("Firmware-Datei: %1, Version %2\nGerät: %3, Version %4\n\nSoll die "
                       "Firmware jetzt an das Gerät gesendet werden?")
                        .arg(LsbDevice::typeName(fileType))
                        .arg(fileSoftware)
                        .arg(LsbDevice::typeName(deviceType))
                        .arg(deviceSoftware),
                    QMessageBox::NoButton, this);
    QPushButton *yes = box.addButton(tr("Ja"), QMessageBox::YesRole);
    QPushButton *no = box.addButton(tr("Nein"), QMessageBox::NoRole);
    box.setDefaultButton(no);
    box.setEscapeButton(no);
    box.exec();
    lsbUpdater->answerConfirmation(box.clickedButton() == yes);
}

void MainWindow::comm_lsb_update_progress(int permille)
{
    ui->progressBar_2->setValue(permille);
}

void MainWindow::comm_lsb_update_finished(int bytes, int)
{
    consoleAppend(tr("<span style=\"font-weight:bold;color:#006600;\">Firmware-Update "
                     "abgeschlossen: %1 Bytes gesendet.</span><BR>")
                      .arg(bytes));
}

// Every way an update ends leaves the page's waiting state, with a console line; failures that
// have no box of their own get one.
void MainWindow::comm_lsb_update_ended(int outcome, int detail)
{
    for (QLabel *task : {ui->label_lsb_update_data_task, ui->label_lsb_update_device_task}) {
        if (!task->isHidden())
            task->setText(tr("nicht verfügbar"));
    }
    const QString error = QStringLiteral("<BR><span style=\"font-weight:bold;color:#990000;\">");
    const QString end = QStringLiteral("</span><BR>");
    switch (outcome) {
    case LSB_Updater::LineCheckFailed:
        consoleAppend(error +
                      tr("Die Firmware-Datei ist beschädigt: das Prüfbyte in Zeile %1 "
                         "stimmt nicht. Es wurde nichts gesendet.")
                          .arg(detail) +
                      end);
        inform(this, tr("Update Datei ist ungültig!"));
        break;
    case LSB_Updater::DatagramFailed:
        ui->progressBar_2->setValue(0);
        consoleAppend(error +
                      tr("Firmware-Update fehlgeschlagen: die Daten ab Adresse %1 kamen "
                         "nicht an. Das Gerät hat keinen Abschluss erhalten; bitte das "
                         "Update wiederholen.")
                          .arg(detail) +
                      end);
        inform(this, tr("Das Firmware-Update ist fehlgeschlagen!"));
        break;
    case LSB_Updater::Cancelled:
        consoleAppend(tr("<BR>Firmware-Update abgebrochen: es wurde kein Abschluss an das Gerät "
                         "gesendet.<BR>"));
        break;
    case LSB_Updater::Declined:
        consoleAppend(tr("<BR>Firmware-Update nicht gestartet.<BR>"));
        break;
    case LSB_Updater::FileInvalid:
    case LSB_Updater::NotUpdatable:
    case LSB_Updater::TypeMismatch:
        consoleAppend(error + tr("Firmware-Update nicht möglich: es wurde nichts gesendet.") + end);
        break;
    default: // finished, no station, wrong mode: their own messages said it
        break;
    }
}
