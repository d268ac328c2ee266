#pragma once

#include "model/dataimage.h"

#include <QString>

class QIODevice;

// The previous generation's .GTB backup: a complete image of the station, text-encoded, one
// character per byte, in a fixed order without keywords.
class LegacyImport
{
public:
    static constexpr qint64 CompleteLength = 3204608;

    struct Result
    {
        QString serial;          // eight lower-case hex digits
        QString softwareVersion; // e.g. 1.300
        qint64 characters = 0;   // data characters read
    };

    // Encoded, a whole backup takes one to four bytes a character and a byte order mark:
    // a file of any other size is not one, and is not read.
    static constexpr qint64 LargestFile = 4 * CompleteLength + 4;
    // The number of data characters in a file's raw bytes, -1 when they are not valid text
    // (the old program wrote every byte as a character). Only a file of CompleteLength is a
    // whole backup: anything else would import as a station of zeros.
    static qint64 decodedLength(const QByteArray &raw);

    // Reads into a cleared document; every record read is marked present, and every data set
    // counts as present. routeStatus (1024 entries) may be null. The caller checks the length
    // first.
    static Result read(QIODevice &in, DataImage &image, qint8 *routeStatus);
};
