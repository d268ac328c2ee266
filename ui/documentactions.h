#pragma once

#include <QObject>
#include <QString>

#include "model/backupdiff.h"
#include "ui/differencesview.h"

#include <memory>

class Document;
class QWidget;

// The window's side of the document: the file dialogs, the questions before data is dropped or
// a file emptied, and what the console says.
class DocumentActions : public QObject
{
    Q_OBJECT
public:
    // The dialogs open over `window`.
    DocumentActions(QWidget *window, Document &document, QObject *parent = nullptr);

    void open(); // with the file dialog
    void openFile(const QString &path);
    bool save();
    bool saveAs(); // with the file dialog
    // A name without an extension gets .GTB2; one with another is refused, as opening refuses it.
    bool saveTo(const QString &path);
    void clear(); // asks first when there are unsaved changes
    void clearNow();
    // The document against a backup file, record by record, in a table (added: only the file
    // holds it). Null when the file could not be read.
    void compare(); // with the file dialog
    QWidget *compareWith(const QString &path);
    // A table of differences between the document (kept as it is now) and `other`, filtered,
    // with details, copied or saved as text; `onlyOther` names what only the other side holds.
    // Its records can be taken back from the document into the station.
    QWidget *showDifferences(const QString &title, const QList<BackupDiff::Line> &lines,
                             const QString &onlyOther, std::shared_ptr<const DataImage> other);
    // The same table for any two sides, taking records back from `takeBackFrom` (a backup).
    QWidget *showDifferences(const QString &title, const QList<BackupDiff::Line> &lines,
                             DifferencesView::Sides sides, const QString &takeBackFrom);
    // "Verlauf" of one record in the backups' folder.
    QWidget *showHistory(const QString &set, int number);
    static bool writeText(const QString &path, const QString &text);
    // Asks where a text goes, offering `name` with ".txt" in `folder`; a name typed without an
    // extension gets ".txt". Empty when the user backs out.
    static QString askTextFile(QWidget *parent, const QString &title, const QString &folder,
                               const QString &name);
    // The folder "Letzte Sicherungen" showed last; else where the plug-in backups are when there
    // is such a folder, else the folder used last.
    QString backupsFolder() const;
    // "Letzte Sicherungen" of the plug-in backups' folder when there is one, else of the folder
    // used last.
    QWidget *recentBackups(const QString &folder = QString());
    // Asks before unsaved data is dropped; true when it may go (saved or given up).
    bool confirmDiscard();
    // While a transfer runs, the file actions wait.
    void setBusy(bool isBusy) { busy = isBusy; }
    bool isBusy() const { return busy; }

signals:
    void message(const QString &html); // a console fragment
    void documentChanged();            // the labels that show the document need a refresh
    void routesChanged();              // the route list needs a repaint from the document
    void fileShown(bool shown);        // a file was opened, or the document emptied
    // Records of a backup (empty path: the document) to go back into the station.
    void takeBackRequested(const QString &path, const QList<RecordMerge::Record> &records);

private:
    bool write(const QString &path);
    void loadFailed(const QString &path); // "Fehler bei Laden!" in the console

    QWidget *window;
    Document &document;
    bool busy = false;
    QString lastFolder; // of the last file opened or saved
    QString recentFolder; // shown last in "Letzte Sicherungen"
};
