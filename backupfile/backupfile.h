#pragma once

#include "datasets/dataimage.h"

#include <QDate>
#include <QString>

class QIODevice;

// The .GTB2 backup file: keyword lines and record numbers as text, records as raw bytes.
class BackupFile
{
public:
    // Writes the present data sets; false when the device refused a write.
    static bool write(QIODevice &out, const DataImage &image, const QString &serial,
                      const QString &softwareVersion);

    struct ReadResult
    {
        QString serial;
        QString softwareVersion;
        bool routesRead = false;
        // The file ended inside a section or before its end mark: the set it was cut in is
        // not marked present.
        bool incomplete = false;
    };
    // The name a backup is offered under: Gleistron-<serial>-<YYYY-MM-DD>.GTB2.
    static QString proposedName(const QString &serial, const QDate &date);

    // Reads into a cleared document. routeStatus (1024 entries) may be null.
    static ReadResult read(QIODevice &in, DataImage &image, qint8 *routeStatus);
};
