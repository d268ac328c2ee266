// The "LSB Update" page: firmware file and device side by side.

#include "ui/lsbpage.h"

#include "lsbupdate/lsb_updater.h"
#include "lsbupdate/lsbfile.h"
#include "ui/askyes.h"
#include "ui/jobhost.h"
#include "ui/translatedtext.h"
#include "ui_lsbpage.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTextCursor>

namespace {
void inform(QWidget *parent, const QString &text)
{
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Gleistron Manager"), text,
                    QMessageBox::Ok, parent);
    box.exec();
}
} // namespace

LsbPage::LsbPage(JobHost &host, QWidget *parent)
    : QWidget(parent), host(host), ui(std::make_unique<Ui::LsbPage>()),
      updater(std::make_unique<LSB_Updater>())
{
    ui->setupUi(this);
    ui->widget_lsb_udate_progress->hide();
    ui->widget_lsb_update_device->hide();
    ui->progressBar_2->setTextVisible(true);
    ui->progressBar_2->setFormat(QStringLiteral("%p%"));
    connect(ui->pushButton_lsb_file, &QPushButton::clicked, this, &LsbPage::chooseFile);
    connect(ui->pushButton_lsb_update_cancel, &QPushButton::clicked, this, &LsbPage::cancel);
    connectJob();
}

// The update job's reports come to the page, queued; its station reports go to the host.
void LsbPage::connectJob()
{
    LSB_Updater *job = updater.get();
    host.connectStatus(job);
    connect(job, &LSB_Updater::signal_lsb_update_device, this, &LsbPage::deviceArrived,
            Qt::QueuedConnection);
    connect(job, &LSB_Updater::signal_lsb_update_data, this, &LsbPage::fileArrived,
            Qt::QueuedConnection);
    connect(job, &LSB_Updater::signal_lsb_update_file_error, this, &LsbPage::fileError,
            Qt::QueuedConnection);
    connect(job, &LSB_Updater::signal_lsb_update_invalid_mode, this, &LsbPage::invalidMode,
            Qt::QueuedConnection);
    connect(job, &LSB_Updater::signal_lsb_update_type_mismatch, this, &LsbPage::typeMismatch,
            Qt::QueuedConnection);
    connect(job, &LSB_Updater::signal_lsb_update_confirm, this, &LsbPage::confirm,
            Qt::QueuedConnection);
    connect(job, &LSB_Updater::signal_lsb_update_progress, this, &LsbPage::progress,
            Qt::QueuedConnection);
    connect(job, &LSB_Updater::signal_lsb_update_finished, this, &LsbPage::finished,
            Qt::QueuedConnection);
    connect(job, &LSB_Updater::signal_lsb_update_ended, this, &LsbPage::ended,
            Qt::QueuedConnection);
    host.trackJob(job, false);
}

LsbPage::~LsbPage() = default;

void LsbPage::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QWidget::changeEvent(event);
}

// The form leaves the file's and the device's values; the page's own texts follow.
void LsbPage::retranslate()
{
    ui->retranslateUi(this);
    for (QLabel *label : {ui->label_lsb_update_data_task, ui->label_lsb_update_device_task,
                          ui->label_lsb_update_device_sw})
        retranslateText(label);
}

void LsbPage::chooseFile()
{
    if (host.refuseWhileBusy())
        return;
    const QString name = QFileDialog::getOpenFileName(
        window(), QCoreApplication::translate("MainWindow", "Firmware Datei"), QString(),
        QCoreApplication::translate("MainWindow", "Orvandel LSB Update Dateien (*.lsb)"));
    if (!name.isEmpty())
        start(name);
}

void LsbPage::start(const QString &firmwareFile)
{
    // No new file while an update runs: the page would show one file while another goes out.
    if (host.refuseWhileBusy())
        return;
    ui->lineEdit_lsb_filename->setText(firmwareFile);
    ui->progressBar_2->setValue(0);
    ui->widget_lsb_udate_progress->show();
    ui->pushButton_lsb_update_cancel->show();
    ui->widget_lsb_update_data_details->hide();
    ui->widget_lsb_update_device_details->hide();
    setTranslatedText(ui->label_lsb_update_data_task,
                      QT_TRANSLATE_NOOP("MainWindow", "Analysieren ..."));
    ui->label_lsb_update_data_task->show();
    setTranslatedText(ui->label_lsb_update_device_task,
                      QT_TRANSLATE_NOOP("MainWindow", "Analysieren ..."));
    ui->label_lsb_update_device_task->show();
    ui->widget_lsb_update_device->show();
    updater->fileName = firmwareFile;
    updater->confirmFirst = true;
    updater->clearStopRequest();
    updater->start();
}

bool LsbPage::running() const
{
    return updater->isRunning();
}

void LsbPage::fileArrived(unsigned short type, unsigned short, unsigned short sw)
{
    ui->label_lsb_update_data_typ->setText(LsbDevice::typeName(type));
    ui->label_lsb_update_data_sw->setText(QString::number(sw));
    ui->label_lsb_update_data_task->hide();
    ui->widget_lsb_update_data_details->show();
}

void LsbPage::deviceArrived(unsigned short, unsigned short type, unsigned short hw,
                            unsigned short sw)
{
    ui->label_lsb_update_device_task->hide();
    ui->widget_lsb_update_device_details->show();
    ui->label_lsb_update_device_typ->setText(LsbDevice::typeName(type));
    if (LsbDevice::isUpdatable(type)) {
        ui->label_lsb_update_device_hw->setText(QString::number(hw));
        setValueText(ui->label_lsb_update_device_sw, QString::number(sw));
        return;
    }
    ui->label_lsb_update_device_hw->clear();
    setValueText(ui->label_lsb_update_device_sw, QString());
    inform(window(), LSB_Updater::refusalText(LSB_Updater::NotUpdatable));
}

// The file is at fault, not the device: the device stays shown.
void LsbPage::fileError()
{
    inform(window(), LSB_Updater::refusalText(LSB_Updater::FileInvalid));
}

void LsbPage::invalidMode()
{
    ui->label_lsb_update_device_hw->clear();
    setValueText(ui->label_lsb_update_device_sw, QString());
    emit message(QCoreApplication::translate(
        "MainWindow", "<BR><span style=\"font-weight:bold;color:#990000;\">FEHLER:</span> "
                      "Gleistron ist nicht im Geräteeditor Update Modus (bitte das Gerät im "
                      "Geräteeditor auswählen, indem man auf den Tastensymbol in die Liste "
                      "klickt)!<BR>"));
    inform(window(), LSB_Updater::refusalText(LSB_Updater::InvalidMode));
}

void LsbPage::typeMismatch(unsigned short fileType, unsigned short deviceType)
{
    inform(window(),
           LSB_Updater::refusalText(LSB_Updater::TypeMismatch, fileType, deviceType));
}

void LsbPage::cancel()
{
    // A running update stops before its next datagram and sends no end command; the page
    // says so when the job has ended.
    if (updater->isRunning())
        updater->requestStop();
    ui->lineEdit_lsb_filename->clear();
    ui->widget_lsb_udate_progress->hide();
}

void LsbPage::confirm(unsigned short fileType, unsigned short fileSoftware,
                      unsigned short deviceType, unsigned short deviceSoftware)
{
    updater->answerConfirmation(
        askYes(window(), QCoreApplication::translate(
                             "MainWindow",
                             "Firmware-Datei: %1, Version %2\nGerät: %3, Version %4\n\nSoll die "
                             "Firmware jetzt an das Gerät gesendet werden?")
                             .arg(LsbDevice::typeName(fileType))
                             .arg(fileSoftware)
                             .arg(LsbDevice::typeName(deviceType))
                             .arg(deviceSoftware)));
}

void LsbPage::progress(int permille)
{
    ui->progressBar_2->setValue(permille);
}

void LsbPage::finished(int bytes, int)
{
    emit message(QCoreApplication::translate(
                     "MainWindow",
                     "<span style=\"font-weight:bold;color:#006600;\">Firmware-Update "
                     "abgeschlossen: %1 Bytes gesendet.</span><BR>")
                     .arg(bytes));
}

// Every way an update ends leaves the page's waiting state, with a console line; failures that
// have no box of their own get one.
void LsbPage::ended(LSB_Updater::Outcome outcome, int detail)
{
    // A bad file ends the run before the device is asked: it is not known to be missing.
    const bool fileAtFault =
        outcome == LSB_Updater::FileInvalid || outcome == LSB_Updater::LineCheckFailed;
    const char *missing = QT_TRANSLATE_NOOP("MainWindow", "nicht verfügbar");
    if (!ui->label_lsb_update_data_task->isHidden())
        setTranslatedText(ui->label_lsb_update_data_task,
                          fileAtFault ? QT_TRANSLATE_NOOP("MainWindow", "ungültig") : missing);
    if (!ui->label_lsb_update_device_task->isHidden())
        setTranslatedText(ui->label_lsb_update_device_task,
                          fileAtFault ? QT_TRANSLATE_NOOP("MainWindow", "nicht abgefragt")
                                      : missing);
    // Nothing left to cancel; the bar stays only for the firmware that went out.
    ui->pushButton_lsb_update_cancel->hide();
    if (outcome == LSB_Updater::Finished)
        setTranslatedText(ui->label_lsb_update_device_sw,
                          QT_TRANSLATE_NOOP("MainWindow", "%1 (vor dem Update)"),
                          ui->label_lsb_update_device_sw->text());
    else
        ui->widget_lsb_udate_progress->hide();
    const QString error = QStringLiteral("<BR><span style=\"font-weight:bold;color:#990000;\">");
    const QString end = QStringLiteral("</span><BR>");
    switch (outcome) {
    case LSB_Updater::LineCheckFailed:
        emit message(error +
                     QCoreApplication::translate(
                         "MainWindow",
                         "Die Firmware-Datei ist beschädigt: das Prüfbyte in Zeile %1 "
                         "stimmt nicht. Es wurde nichts gesendet.")
                         .arg(detail) +
                     end);
        inform(window(), QCoreApplication::translate("MainWindow", "Update Datei ist ungültig!"));
        break;
    case LSB_Updater::DatagramFailed:
        ui->progressBar_2->setValue(0);
        emit message(error +
                     QCoreApplication::translate(
                         "MainWindow",
                         "Firmware-Update fehlgeschlagen: die Daten ab Adresse %1 kamen "
                         "nicht an. Das Gerät hat keinen Abschluss erhalten; bitte das "
                         "Update wiederholen.")
                         .arg(detail) +
                     end);
        inform(window(), QCoreApplication::translate("MainWindow",
                                                     "Das Firmware-Update ist fehlgeschlagen!"));
        break;
    case LSB_Updater::Cancelled: {
        emit message(QCoreApplication::translate(
            "MainWindow", "<BR>Firmware-Update abgebrochen: es wurde kein Abschluss an das Gerät "
                          "gesendet.<BR>"));
        // Not modal: the page stays usable, and the box says what comes next.
        auto *box = new QMessageBox(
            QMessageBox::Information, QStringLiteral("Gleistron Manager"),
            QCoreApplication::translate(
                "MainWindow", "Das Firmware-Update wurde abgebrochen. Das Gerät wartet weiter im "
                              "Update-Modus: die Firmware-Datei erneut wählen, oder am Gleistron "
                              "den Update-Modus verlassen."),
            QMessageBox::Ok, window());
        box->setObjectName(QStringLiteral("box_lsb_cancelled"));
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->open();
        break;
    }
    case LSB_Updater::Declined:
        emit message(
            QCoreApplication::translate("MainWindow", "<BR>Firmware-Update nicht gestartet.<BR>"));
        break;
    case LSB_Updater::FileInvalid:
    case LSB_Updater::NotUpdatable:
    case LSB_Updater::TypeMismatch:
        emit message(error +
                     QCoreApplication::translate(
                         "MainWindow", "Firmware-Update nicht möglich: es wurde nichts gesendet.") +
                     end);
        break;
    default: // finished, no station, wrong mode: their own messages said it
        break;
    }
}
