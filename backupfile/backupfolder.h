#pragma once

#include "model/backupdiff.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

class Document;

// A folder of dated backups, Gleistron-<serial>-<YYYY-MM-DD>[-n].GTB2, as the command-line
// tool's backup --dir and watch keep it and the window lists it. Only files of that pattern
// are ever removed: a renamed or copied backup, or another station's, stays.
class BackupFolder
{
public:
    explicit BackupFolder(const QString &path);

    struct Backup
    {
        QString path;
        QString serial;
        QDate date;
        int number = 1; // -2, -3 on the same day
    };
    // The backups the program named in this folder, of one station or (empty) of all, oldest
    // first.
    QList<Backup> backups(const QString &serial = QString()) const;

    struct Saved
    {
        enum Outcome { Written, Unchanged, Failed } outcome = Failed;
        QString path;  // the new file, or the newest one that holds the same
        QString error; // why it failed
        QStringList removed;
    };
    // The document under the dated name (created new, never over a file), unless the newest
    // backup of that station here holds the same sets with the same data; after a save, the
    // oldest of that station's beyond `keep` go: only regular files that read whole as its
    // backups, never a link or a file that does not. The folder is made when missing.
    Saved save(Document &document, const QString &serial, int keep, const QDate &today);

    // The newest `limit` backups the program named here, newest first: when each was written,
    // what it holds, and what changed against the one before of the same station.
    struct Listed
    {
        Backup backup;
        QDateTime written;
        QString sets;
        QString changes; // empty: the station's first backup here
        bool readable = true;
        bool damaged = false; // not every part of it proved whole
        QString previous;     // the one before of the same station, read whole; empty: none
    };
    QList<Listed> history(int limit = 30) const;

    // The backups, oldest first, in which one record (set key and number as a comparison names
    // them) changed, appeared or went, each against the one before of the same station that
    // holds its set, with what changed inside. Reads one file at a time, keeping the one before.
    struct RecordChange
    {
        Backup backup;
        BackupDiff::Line line;
        QStringList details;
    };
    struct RecordHistory
    {
        QList<RecordChange> changes;
        QStringList unreadable; // not read at all
        QStringList damaged;    // read for what of it is whole
    };
    RecordHistory recordHistory(const QString &set, int number) const;

    // What changed from one backup to the next, by set: "3 Lokomotiven geändert, 1 Fahrstrasse
    // neu"; empty when nothing did.
    // What changed from one backup to the next, in the sets both hold, and which sets only one
    // of them holds.
    static QString changesSince(const Document &previous, const Document &current);
    static QList<BackupDiff::Line> linesSince(const Document &previous, const Document &current);
    static QString changeText(const QList<BackupDiff::Line> &lines);
    // The sets a document holds, by their names on the tab ("alle" when all).
    static QString setsText(const Document &document);
    // Where the plug-in backups go unless told otherwise: ~/Gleistron-Sicherungen.
    static QString defaultPath();

private:
    QString folder;
};
