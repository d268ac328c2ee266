#pragma once

#include "model/dataimage.h"

#include <QDate>
#include <QList>
#include <QString>

class QIODevice;

// The .GTB2 backup file: keyword lines and record numbers as text, records as raw bytes.
class BackupFile
{
public:
    // Writes the present data sets, each section followed by a line with its CRC-32; false when
    // the device refused a write.
    static bool write(QIODevice &out, const DataImage &image, const QString &serial,
                      const QString &softwareVersion);

    // A place where the file is not as the writer leaves it. The set it touches is not
    // marked present; a damaged meta block alone leaves the data sets as they are.
    struct Damage
    {
        enum Kind {
            Repeated,
            BadNumber,
            OutOfRange,
            NotAscending,
            Cut,
            ListsMissing,
            Meta,
            NoLineEnd,
            Unexpected,
            Checksum,
            ChecksumMissing,
            TooLarge
        };
        Kind kind;
        int set;         // data-set index, -1 for the meta block
        QString section; // keyword of the section
        int line;        // counted as the reader reads: a record and its bytes make one line
    };

    struct ReadResult
    {
        QString serial;
        QString softwareVersion;
        bool routesRead = false;
        // The file ended inside a section or before its end mark: the set it was cut in is
        // not marked present.
        bool incomplete = false;
        // Every part of the file carried its checksum line and matched it.
        bool checksums = false;
        QList<Damage> damage;
        bool damagedSet(int set) const;
    };
    // The English description of a damage, for the command-line tool and the debug output.
    static QString describe(const Damage &damage);
    // A backup's name: without an extension it gets .GTB2; another extension gives an empty
    // name (only a .GTB2 file opens again).
    static QString normalizedName(const QString &path);
    // The name a backup is offered under: Gleistron-<serial>-<YYYY-MM-DD>.GTB2.
    static QString proposedName(const QString &serial, const QDate &date);
    // That name in `folder`, or with -2, -3, ... when it exists: never an earlier backup.
    static QString freeName(const QString &folder, const QString &serial, const QDate &date);
    // `path` with -n before its extension (n of 1: the path itself).
    static QString numberedName(const QString &path, int n);

    // No file the writer makes is larger: a larger one is refused before it is read.
    static qint64 largestFile();
    // Reads into a cleared document. routeStatus (1024 entries) may be null.
    static ReadResult read(QIODevice &in, DataImage &image, qint8 *routeStatus);
};
