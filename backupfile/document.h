#pragma once

#include "backupfile.h"
#include "datasets/dataimage.h"

#include <QString>

// The document: the data image with the file it came from or goes to, whether it changed since,
// and the station its data came from. Opening and saving here know nothing of windows.
class Document
{
public:
    DataImage image;
    QString fileName; // without its folder; empty for a document never saved or opened
    QString filePath;
    bool modified = false;
    // The station the data came from: the one downloaded from, or the one the file names.
    QString sourceSerial;
    QString sourceSoftware;

    enum class Opened { Ok, Incomplete, NotABackup, NotComplete, CannotOpen };
    // A .GTB2 file, or an old .GTB one (only a whole backup). On anything but Ok and
    // Incomplete the document is as it was.
    Opened open(const QString &path);
    // Written beside the target and put in its place only when complete. False when the file
    // could not be written; the document is then unchanged.
    bool save(const QString &path);
    void clear();
    bool holdsData() const;
    void setSource(const QString &serial, const QString &software);
};
