// The console, the station's reports to it, and the labels that show the station, the
// adapter and the document.

#include "link/portdoctor.h"
#include "link/statustexts.h"
#include "mainwindow.h"

#include "ui/backuptab.h"
#include "ui/documentactions.h"
#include "ui_mainwindow.h"

#include <QMessageBox>
#include <QTextBlock>
#include <QTextCursor>
#include <QTime>

void MainWindow::comm_info_noGleistron()
{
    comm_info_portHeld(QString(), QString());
}

// Without a port: no station at all.
void MainWindow::comm_info_portHeld(const QString &port, const QString &holder)
{
    consoleAppend(port.isEmpty() ? StatusTexts::noGleistron()
                                 : StatusTexts::portHeld(port, holder));
    // What the port checks of "gleistron-cli doctor" find, so the user knows where to look.
    if (const QString problems = PortDoctor::problemsHtml(PortDoctor::examine());
        !problems.isEmpty())
        consoleAppend(problems);
    forgetStation();
    backup->returnToIdle(true);
}

void MainWindow::comm_info_invalidMode()
{
    QTextCursor cursor = ui->textEdit_console->textCursor();
    cursor.movePosition(QTextCursor::End);
    ui->textEdit_console->setTextCursor(cursor);
    ui->textEdit_console->insertPlainText(StatusTexts::invalidMode());
    ui->textEdit_console->insertPlainText(StatusTexts::backupMenuHint());
    stampConsole();
    cursor.movePosition(QTextCursor::End);
    ui->textEdit_console->setTextCursor(cursor);
    backup->returnToIdle(true);
}

void MainWindow::comm_info_gleistronVersion(QString serial, QString softwareVersion,
                                            QString protocolVersion, QString dataModelVersion)
{
    consoleAppend(StatusTexts::gleistronFound(serial, softwareVersion));
    comm_station_present(serial, softwareVersion, protocolVersion, dataModelVersion);
    if (!updateHintShown && StatusTexts::versionNumber(softwareVersion) <= 1299) {
        QMessageBox box(QMessageBox::Information, QStringLiteral("Gleistron Manager"),
                        StatusTexts::outdatedSoftware(), QMessageBox::Ok, this);
        box.setTextFormat(Qt::RichText);
        box.exec();
        updateHintShown = true;
    }
}

void MainWindow::comm_info_communicationError(QString, bool)
{
    consoleAppend(StatusTexts::communicationError());
    consoleAppend(QStringLiteral("<BR>"));
}

void MainWindow::comm_exchange_failed()
{
    consoleAppend(StatusTexts::exchangeFailed());
}

void MainWindow::comm_resumed()
{
    consoleAppend(StatusTexts::resumed());
}

void MainWindow::comm_backup_message(QString html)
{
    consoleAppend(html);
    refreshLabels();
}

void MainWindow::consoleAppend(const QString &html)
{
    QTextCursor cursor = ui->textEdit_console->textCursor();
    cursor.movePosition(QTextCursor::End);
    ui->textEdit_console->setTextCursor(cursor);
    ui->textEdit_console->insertHtml(html);
    stampConsole();
    cursor.movePosition(QTextCursor::End);
    ui->textEdit_console->setTextCursor(cursor);
    ui->textEdit_console->ensureCursorVisible();
}

// The lines that came since the last stamp remember the time, for the saved log.
void MainWindow::stampConsole()
{
    const int now = QTime::currentTime().msecsSinceStartOfDay() / 1000;
    for (QTextBlock line = ui->textEdit_console->document()->lastBlock();
         line.isValid() && line.userState() < 0; line = line.previous())
        line.setUserState(now);
}

// The console for support: the program's version and the station's identity first.
QString MainWindow::logText() const
{
    QString text = QStringLiteral("Gleistron Manager %1\n").arg(QStringLiteral(GLEISTRON_VERSION));
    if (!lastSerial.isEmpty())
        text += tr("Gleistron %1, Software %2").arg(lastSerial, lastSoftware) + QLatin1Char('\n');
    text += QLatin1Char('\n');
    // Each line with the time it came.
    const QTextDocument *console = ui->textEdit_console->document();
    for (QTextBlock line = console->begin(); line.isValid(); line = line.next()) {
        const int second = qMax(line.userState(), 0);
        text +=
            QTime::fromMSecsSinceStartOfDay(second * 1000).toString(QStringLiteral("HH:mm:ss")) +
            QLatin1Char(' ') + line.text() + QLatin1Char('\n');
    }
    return text;
}

bool MainWindow::saveLog(const QString &path) const
{
    return DocumentActions::writeText(path, logText());
}

void MainWindow::showAdapterStatus()
{
    if (adapterStatus && adapterCount >= 0)
        adapterStatus->setText(adapterCount > 0 ? tr("Gleistron-Adapter angeschlossen")
                                                : tr("Kein Adapter"));
}

void MainWindow::forgetStation()
{
    ui->label_serialNr->setText(QString());
    ui->label_softwareVersion->setText(QString());
    ui->label_protokollVersion->setText(QString());
    ui->label_datenmodellVersion->setText(QString());
    backup->showConnectHint(true);
}

void MainWindow::comm_station_present(QString serial, QString softwareVersion,
                                      QString protocolVersion, QString dataModelVersion)
{
    lastSerial = serial;
    lastSoftware = softwareVersion;
    ui->label_serialNr->setText(serial);
    ui->label_softwareVersion->setText(softwareVersion);
    ui->label_protokollVersion->setText(protocolVersion);
    ui->label_datenmodellVersion->setText(dataModelVersion);
    backup->showConnectHint(false); // connected: the hint how to connect is done
}

void MainWindow::refreshLabels()
{
    QString windowTitle;
    if (doc.modified)
        windowTitle += QStringLiteral("* ");
    windowTitle += doc.fileName;
    if (!doc.fileName.isEmpty())
        windowTitle += QStringLiteral(" - ");
    setWindowTitle(windowTitle + title);
    // The station a file came from; not while a transfer still writes the document.
    if (!doc.fileName.isEmpty() && !backup->transferRunning()) {
        ui->label_serialNr_backup->setText(doc.sourceSerial.toUpper());
        ui->label_softwareVersion_backup->setText(doc.sourceSoftware);
    }
    backup->refresh();
}
