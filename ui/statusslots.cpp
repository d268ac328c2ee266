#include "link/portdoctor.h"
#include "link/statustexts.h"
#include "mainwindow.h"

#include "ui/backuptab.h"
#include "ui_mainwindow.h"

#include <QMessageBox>
#include <QTextCursor>

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
