// The window's document operations: open, save, save as, clear.

#include "backupfile/backupfile.h"
#include "backupfile/legacyimport.h"
#include "ui/mainwindow.h"
#include "ui_mainwindow.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QSaveFile>
#include <algorithm>

void MainWindow::on_action_oeffnen_triggered()
{
    openBackup();
}

void MainWindow::on_actionSpeichern_triggered()
{
    saveBackup();
}

void MainWindow::on_actionSpeichern_unter_triggered()
{
    saveBackupAs();
}

void MainWindow::on_action_leeren_triggered()
{
    if (confirmDiscard())
        clearDocument();
}

void MainWindow::openBackup()
{
    if (!confirmDiscard())
        return;
    const QString path = QFileDialog::getOpenFileName(
        this, tr("Backup Datei"), QString(),
        tr("Orvandel Gleistron Backup Dateien (*.GTB2);;alte Orvandel Gleistron Backup Dateien "
           "(*.GTB)"));
    if (!path.isEmpty())
        openBackupFile(path);
}

void MainWindow::openBackupFile(const QString &path)
{
    const QString upper = path.toUpper();
    if (upper.endsWith(QLatin1String(".GTB"))) {
        importLegacyBackup(path);
        return;
    }
    if (!upper.endsWith(QLatin1String(".GTB2"))) {
        consoleAppend(tr("Datenformat ungültig!<BR>"));
        refreshLabels();
        return;
    }
    QFile file(path);
    if (!startOpening(tr("Backup Datei <B>"), file))
        return;
    backupSerial.clear();
    backupSoftwareVersion.clear();
    const BackupFile::ReadResult result = BackupFile::read(file, document, routeStatus.data());
    file.close();
    backupSerial = result.serial;
    backupSoftwareVersion = result.softwareVersion;
    if (result.routesRead)
        comm_fahrstrassen_loaded(1024, true);
    consoleAppend(tr("geöffnet.<BR>"));
    if (result.incomplete)
        consoleAppend(tr("<span style=\"font-weight:bold;color:#660000;\">Die Datei ist "
                         "unvollständig:</span> nur die vollständig enthaltenen Datensätze "
                         "wurden übernommen.<BR>"));
    refreshLabels();
}

// The common start of an open and an import: the console line, the file opened before anything
// of the document changes, then the new file name and a cleared document.
bool MainWindow::startOpening(const QString &intro, QFile &file)
{
    const QString path = file.fileName();
    consoleAppend(intro + path.toHtmlEscaped() + QStringLiteral("</B> "));
    if (!file.open(QIODevice::ReadOnly)) {
        consoleAppend(tr("<BR><span style=\"font-weight:bold;color:#990000;\">Fehler bei "
                         "Laden!</span><BR><BR>"));
        return false;
    }
    filePath = path;
    fileName = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    clearDocument();
    ui->groupBox_backupInfo->show();
    return true;
}

bool MainWindow::saveBackup()
{
    // A file of the old format is never overwritten in place.
    if (fileName.isEmpty() || fileName.toUpper().endsWith(QLatin1String(".GTB")))
        return saveBackupAs();
    return writeBackup();
}

bool MainWindow::saveBackupAs()
{
    QFileDialog dialog(this, tr("BackUp Datei"), QString(), tr("Gleistron BackUp Datei (*.GTB2)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    // A name typed without the extension could not be opened again.
    dialog.setDefaultSuffix(QStringLiteral("GTB2"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    return saveBackupTo(dialog.selectedFiles().first());
}

bool MainWindow::saveBackupTo(const QString &path)
{
    // Only a .GTB2 name opens again.
    filePath =
        path.toUpper().endsWith(QLatin1String(".GTB2")) ? path : path + QStringLiteral(".GTB2");
    return writeBackup();
}

bool MainWindow::writeBackup()
{
    const bool empty = std::none_of(document.presentSets.begin(), document.presentSets.end(),
                                    [](quint8 f) { return f != 0; });
    if (empty && QFile::exists(filePath)) {
        QMessageBox box(QMessageBox::Question, QStringLiteral("Gleistron Manager"),
                        tr("Die Datensicherung enthält keine Datensätze.\n\nSoll die Datei "
                           "%1 trotzdem mit einer leeren Datensicherung überschrieben werden?")
                            .arg(QDir::toNativeSeparators(filePath)),
                        QMessageBox::NoButton, this);
        QPushButton *yes = box.addButton(tr("Ja"), QMessageBox::YesRole);
        QPushButton *no = box.addButton(tr("Nein"), QMessageBox::NoRole);
        box.setDefaultButton(no);
        box.setEscapeButton(no);
        box.exec();
        if (box.clickedButton() != yes)
            return false;
    }
    // Written beside the target and put in its place only when complete: a full disk or a crash
    // never leaves a cut file, and the old file stays as it was.
    QSaveFile file(filePath);
    const bool written =
        file.open(QIODevice::WriteOnly) &&
        BackupFile::write(file, document, backupSerial.toUpper(), backupSoftwareVersion) &&
        file.commit();
    if (!written) {
        file.cancelWriting();
        consoleAppend(tr("<BR><span style=\"font-weight:bold;color:#990000;\">Datei kann nicht "
                         "geschrieben werden!</span><BR><BR>"));
        return false;
    }
    fileName = filePath.mid(filePath.lastIndexOf(QLatin1Char('/')) + 1);
    modified = false;
    refreshLabels();
    consoleAppend(tr("Backup Datei <B>%1</B> gespeichert.<BR>").arg(filePath.toHtmlEscaped()));
    return true;
}

void MainWindow::clearDocument()
{
    backupSerial.clear();
    backupSoftwareVersion.clear();
    document.presentSets.fill(0);
    document.s88Present = false;
    document.recordStatus.fill(0);
    ui->groupBox_backupInfo->hide();
    for (int bank = 0; bank < Catalogue::BankCount; ++bank)
        std::fill_n(document.bank(bank), Catalogue::BankSize, quint8(0));
    std::fill_n(&document.recordStatus[Catalogue::StatusFahrstrassen], 1024, qint8(0));
    modified = false;
    refreshLabels();
    comm_fahrstrassen_loaded(1024, true);
}

void MainWindow::importLegacyBackup(const QString &path)
{
    QFile file(path);
    // Checked before the document is touched: a cut or foreign file would import as a station
    // whose configuration is all zeros.
    if (file.open(QIODevice::ReadOnly) &&
        LegacyImport::decodedLength(file.readAll()) != LegacyImport::CompleteLength) {
        consoleAppend(tr("Altes Backup Datei <B>") + path.toHtmlEscaped() +
                      QStringLiteral("</B> ") +
                      tr("<BR><span style=\"font-weight:bold;color:#990000;\">Die Datei ist keine "
                         "vollständige Datensicherung!</span><BR><BR>"));
        return;
    }
    file.close();
    if (!startOpening(tr("Altes Backup Datei <B>"), file))
        return;
    const LegacyImport::Result result = LegacyImport::read(file, document, routeStatus.data());
    backupSerial = result.serial;
    backupSoftwareVersion = result.softwareVersion;
    comm_fahrstrassen_loaded(1024, true);
    consoleAppend(tr("importiert.<BR>"));
    file.close();
    refreshLabels();
}
