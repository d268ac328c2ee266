#include "documentactions.h"

#include "backupfile/backupfile.h"
#include "backupfile/backupfolder.h"
#include "backupfile/document.h"
#include "model/backupdiff.h"
#include "model/catalogue.h"
#include "ui/askyes.h"
#include "ui/historyview.h"
#include "ui/recentbackups.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QDate>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSaveFile>
#include <QTableWidget>
#include <QVBoxLayout>

DocumentActions::DocumentActions(QWidget *window, Document &document, QObject *parent)
    : QObject(parent), window(window), document(document)
{
}

QString DocumentActions::backupsFolder() const
{
    if (!recentFolder.isEmpty())
        return recentFolder;
    return QFileInfo(BackupFolder::defaultPath()).isDir() || lastFolder.isEmpty()
               ? BackupFolder::defaultPath()
               : lastFolder;
}

QWidget *DocumentActions::recentBackups(const QString &folder)
{
    auto *dialog = new RecentBackups(folder.isEmpty() ? backupsFolder() : folder, window);
    connect(dialog, &RecentBackups::differencesRequested, this,
            [this, dialog](const QString &previous, const QString &path) {
                recentFolder = dialog->folder();
                // Read whole when listed; gone or changed since, it is said.
                Document before, after;
                if (before.open(previous) != Document::Opened::Ok) {
                    loadFailed(previous);
                    return;
                }
                if (after.open(path) != Document::Opened::Ok) {
                    loadFailed(path);
                    return;
                }
                showDifferences(
                    QCoreApplication::translate("MainWindow", "%1 gegenüber %2")
                        .arg(QFileInfo(path).fileName(), QFileInfo(previous).fileName()),
                    BackupFolder::linesSince(before, after),
                    {before.image.clone(), after.image.clone(),
                     QCoreApplication::translate("MainWindow", "nur in der vorigen"),
                     QCoreApplication::translate("MainWindow", "nur in dieser")},
                    previous);
            });
    connect(dialog, &RecentBackups::openRequested, this, [this](const QString &path) {
        // A transfer may have started while the list was open: it writes the document.
        if (!busy && confirmDiscard())
            openFile(path);
    });
    dialog->show();
    return dialog;
}

void DocumentActions::open()
{
    if (!confirmDiscard())
        return;
    const QString path = QFileDialog::getOpenFileName(
        window, QCoreApplication::translate("MainWindow", "Backup Datei"), QString(),
        QCoreApplication::translate(
            "MainWindow",
            "Orvandel Gleistron Backup Dateien (*.GTB2);;alte Orvandel Gleistron Backup Dateien "
            "(*.GTB)"));
    if (!path.isEmpty())
        openFile(path);
}

void DocumentActions::openFile(const QString &path)
{
    const bool legacy = path.toUpper().endsWith(QLatin1String(".GTB"));
    const QString intro = legacy
                              ? QCoreApplication::translate("MainWindow", "Altes Backup Datei <B>")
                              : QCoreApplication::translate("MainWindow", "Backup Datei <B>");
    const Document::Opened opened = document.open(path);
    if (opened == Document::Opened::NotABackup) {
        emit message(QCoreApplication::translate("MainWindow", "Datenformat ungültig!<BR>"));
        emit documentChanged();
        return;
    }
    emit message(intro + path.toHtmlEscaped() + QStringLiteral("</B> "));
    if (opened == Document::Opened::CannotOpen) {
        emit message(QCoreApplication::translate(
            "MainWindow", "<BR><span style=\"font-weight:bold;color:#990000;\">Fehler bei "
                          "Laden!</span><BR><BR>"));
        return;
    }
    if (opened == Document::Opened::NotComplete) {
        emit message(QCoreApplication::translate(
            "MainWindow", "<BR><span style=\"font-weight:bold;color:#990000;\">Die Datei "
                          "ist keine vollständige Datensicherung!</span><BR><BR>"));
        return;
    }
    lastFolder = QFileInfo(path).absolutePath();
    emit fileShown(true);
    emit routesChanged();
    emit message(legacy ? QCoreApplication::translate("MainWindow", "importiert.<BR>")
                        : QCoreApplication::translate("MainWindow", "geöffnet.<BR>"));
    if (opened == Document::Opened::Incomplete)
        emit message(QCoreApplication::translate(
            "MainWindow", "<span style=\"font-weight:bold;color:#660000;\">Die Datei ist "
                          "unvollständig:</span> nur die vollständig enthaltenen "
                          "Datensätze wurden übernommen.<BR>"));
    // Which set and where: such a set is not taken, so no upload sends it.
    for (const BackupFile::Damage &d : std::as_const(document.damage)) {
        const QString set =
            d.set >= 0 ? QCoreApplication::translate("MainWindow", Catalogue::entry(d.set).name)
                       : QCoreApplication::translate("MainWindow", "Dateikopf");
        emit message(
            QCoreApplication::translate("MainWindow",
                                        "<span style=\"font-weight:bold;color:#990000;\">Die "
                                        "Datei ist beschädigt:</span> %1, Abschnitt %2, Zeile "
                                        "%3 (%4).%5<BR>")
                .arg(set, d.section.toHtmlEscaped())
                .arg(d.line)
                .arg(BackupFile::describe(d).section(QStringLiteral(": "), 1).toHtmlEscaped(),
                     d.set >= 0 ? QCoreApplication::translate(
                                      "MainWindow", " Dieser Datensatz wurde nicht übernommen.")
                                : QString()));
    }
    emit documentChanged();
}

bool DocumentActions::save()
{
    // A file of the old format is never overwritten in place.
    if (document.fileName.isEmpty() || document.fileName.toUpper().endsWith(QLatin1String(".GTB")))
        return saveAs();
    return write(document.filePath);
}

bool DocumentActions::saveAs()
{
    QFileDialog dialog(
        window, QCoreApplication::translate("MainWindow", "BackUp Datei"), QString(),
        QCoreApplication::translate("MainWindow", "Gleistron BackUp Datei (*.GTB2)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    // Offered: the station and the day, in the folder used last.
    if (!lastFolder.isEmpty())
        dialog.setDirectory(lastFolder);
    // A name that does not exist yet, as the command-line tool's backups are named.
    dialog.selectFile(
        QFileInfo(BackupFile::freeName(lastFolder.isEmpty() ? QDir::currentPath() : lastFolder,
                                       document.sourceSerial, QDate::currentDate()))
            .fileName());
    // A name typed without the extension could not be opened again.
    dialog.setDefaultSuffix(QStringLiteral("GTB2"));
    // A name saveTo refuses (it says why on the console) is asked for again.
    for (;;) {
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return false;
        const QString path = dialog.selectedFiles().first();
        if (saveTo(path))
            return true;
        if (!BackupFile::normalizedName(path).isEmpty())
            return false;
    }
}

bool DocumentActions::saveTo(const QString &path)
{
    // Only a .GTB2 name opens again; "x.txt" is not quietly made "x.txt.GTB2".
    const QString named = BackupFile::normalizedName(path);
    if (named.isEmpty()) {
        emit message(QCoreApplication::translate("MainWindow",
                                                 "<BR><B>Bitte eine .GTB2 Datei wählen.</B><BR>"));
        return false;
    }
    return write(named);
}

bool DocumentActions::write(const QString &path)
{
    if (!document.holdsData() && QFile::exists(path)) {
        if (!askYes(window, QCoreApplication::translate(
                                "MainWindow",
                                "Die Datensicherung enthält keine Datensätze.\n\nSoll die Datei "
                                "%1 trotzdem mit einer leeren Datensicherung überschrieben "
                                "werden?")
                                .arg(QDir::toNativeSeparators(path))))
            return false;
    }
    if (document.mixedSources()) {
        QStringList lines;
        for (int set = 0; set < Catalogue::DataSetCount; ++set) {
            if (document.image.presentSets[size_t(set)])
                lines.append(QStringLiteral("%1: %2").arg(
                    QCoreApplication::translate("MainWindow", Catalogue::entry(set).name),
                    Document::sourceText(document.sources[size_t(set)])));
        }
        if (!askYes(window,
                    QCoreApplication::translate(
                        "MainWindow",
                        "Die Datensätze stammen aus verschiedenen Quellen:\n\n%1\n\nDie Datei "
                        "nennt als Herkunft Gleistron %2. Trotzdem speichern?")
                        .arg(lines.join(QLatin1Char('\n')),
                             document.sourceSerial.isEmpty()
                                 ? QCoreApplication::translate("MainWindow", "(unbekannt)")
                                 : document.sourceSerial.toUpper())))
            return false;
    }
    // Written beside the target and put in its place only when complete: a full disk or a crash
    // never leaves a cut file, and the old file stays as it was.
    if (!document.save(path)) {
        emit message(QCoreApplication::translate(
                         "MainWindow",
                         "<BR><span style=\"font-weight:bold;color:#990000;\">Datei kann "
                         "nicht geschrieben werden!</span><BR><BR>") +
                     QStringLiteral("%1: %2<BR>")
                         .arg(path.toHtmlEscaped(), document.errorText.toHtmlEscaped()));
        return false;
    }
    lastFolder = QFileInfo(path).absolutePath();
    emit documentChanged();
    emit message(
        QCoreApplication::translate("MainWindow", "Backup Datei <B>%1</B> gespeichert.<BR>")
            .arg(path.toHtmlEscaped()));
    return true;
}

void DocumentActions::clear()
{
    if (confirmDiscard())
        clearNow();
}

void DocumentActions::clearNow()
{
    document.clear();
    emit fileShown(false);
    emit documentChanged();
    emit routesChanged();
}

void DocumentActions::compare()
{
    const QString path = QFileDialog::getOpenFileName(
        window, QCoreApplication::translate("MainWindow", "Backup Datei"), lastFolder,
        QCoreApplication::translate("MainWindow",
                                    "Orvandel Gleistron Backup Dateien (*.GTB2);;alte Orvandel "
                                    "Gleistron Backup Dateien (*.GTB)"));
    if (!path.isEmpty())
        compareWith(path);
}

void DocumentActions::loadFailed(const QString &path)
{
    emit message(QCoreApplication::translate("MainWindow", "Backup Datei <B>") +
                 path.toHtmlEscaped() + QStringLiteral("</B> ") +
                 QCoreApplication::translate("MainWindow",
                                             "<BR><span style=\"font-weight:bold;color:#990000;\">"
                                             "Fehler bei Laden!</span><BR><BR>"));
}

QWidget *DocumentActions::compareWith(const QString &path)
{
    Document other;
    const Document::Opened opened = other.open(path);
    if (opened != Document::Opened::Ok && opened != Document::Opened::Incomplete) {
        loadFailed(path);
        return nullptr;
    }
    return showDifferences(QCoreApplication::translate("MainWindow", "Vergleich mit %1")
                               .arg(QFileInfo(path).fileName()),
                           BackupDiff::compare(document.image, other.image),
                           QCoreApplication::translate("MainWindow", "nur in der Datei"),
                           other.image.clone());
}

QWidget *DocumentActions::showDifferences(const QString &title,
                                          const QList<BackupDiff::Line> &lines,
                                          const QString &onlyOther,
                                          std::shared_ptr<const DataImage> other)
{
    DifferencesView::Sides sides{document.image.clone(), std::move(other),
                                 QCoreApplication::translate("MainWindow", "nur im Dokument"),
                                 onlyOther};
    return showDifferences(title, lines, std::move(sides), QString());
}

QWidget *DocumentActions::showDifferences(const QString &title,
                                          const QList<BackupDiff::Line> &lines,
                                          DifferencesView::Sides sides,
                                          const QString &takeBackFrom)
{
    auto *dialog = new DifferencesView(title, lines, std::move(sides), window);
    dialog->takeBackFrom(takeBackFrom);
    connect(dialog, &DifferencesView::saveRequested, this, [this, dialog](const QString &all) {
        const QString name =
            askTextFile(dialog, QCoreApplication::translate("MainWindow", "Als Text speichern"),
                        lastFolder, QCoreApplication::translate("MainWindow", "vergleich"));
        if (!name.isEmpty() && !writeText(name, all))
            emit message(QCoreApplication::translate(
                             "MainWindow", "<BR><B>%1 kann nicht geschrieben werden.</B><BR>")
                             .arg(name.toHtmlEscaped()));
    });
    connect(dialog, &DifferencesView::historyRequested, this,
            [this](const QString &set, int number) { showHistory(set, number); });
    connect(dialog, &DifferencesView::takeBackRequested, this,
            &DocumentActions::takeBackRequested);
    dialog->show();
    return dialog;
}

QWidget *DocumentActions::showHistory(const QString &set, int number)
{
    auto *dialog = new HistoryView(backupsFolder(), set, number, window);
    connect(dialog, &HistoryView::takeBackRequested, this, &DocumentActions::takeBackRequested);
    dialog->show();
    return dialog;
}

QString DocumentActions::askTextFile(QWidget *parent, const QString &title, const QString &folder,
                                     const QString &name)
{
    QFileDialog dialog(parent, title, QDir(folder).filePath(name + QStringLiteral(".txt")),
                       QCoreApplication::translate("MainWindow", "Text (*.txt)"));
    dialog.setObjectName(QStringLiteral("dialog_text_file"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("txt"));
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
}

bool DocumentActions::writeText(const QString &path, const QString &text)
{
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text.toUtf8()) >= 0 && file.commit();
}

bool DocumentActions::confirmDiscard()
{
    if (!document.modified)
        return true;
    QMessageBox box(
        QMessageBox::Question, QStringLiteral("Gleistron Manager"),
        QCoreApplication::translate(
            "MainWindow",
            "Die geladene Datensätze sind nicht gespeichert. \n\n Wollen Sie speichern?"),
        QMessageBox::NoButton, window);
    QPushButton *yes = addAnswer(box, Answer::Yes);
    QPushButton *no = addAnswer(box, Answer::No);
    QPushButton *cancel = addAnswer(box, Answer::Cancel);
    box.setDefaultButton(yes);
    // Backing out keeps the data: Escape (and closing the box) is "Abbrechen", never "Nein".
    box.setEscapeButton(cancel);
    box.exec();
    // "Ja" goes on only when the data really reached a file; a cancelled or failed save keeps
    // the data.
    return box.clickedButton() == no || (box.clickedButton() == yes && saveAs());
}
