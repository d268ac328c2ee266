#pragma once

#include "backupfile.h"
#include "model/dataimage.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <array>

class QFileDevice;

// The document: the data image with the file it came from or goes to, whether it changed since,
// and where each of its data sets came from. Opening and saving here know nothing of windows.
class Document
{
public:
    // Where a data set came from: a station (serial, software, when) or a file (its name).
    struct Source
    {
        QString serial;
        QString software;
        QString file; // empty for a download
        QDateTime when;
        bool operator==(const Source &other) const
        {
            return serial == other.serial && file == other.file && when == other.when;
        }
    };

    DataImage image;
    QString fileName; // without its folder; empty for a document never saved or opened
    QString filePath;
    bool modified = false;
    // The station the file's meta block names: the one downloaded from, or the one the opened
    // file names. A partial download into an opened document keeps the file's identity; a
    // download that leaves every held set from one station takes that station's.
    QString sourceSerial;
    QString sourceSoftware;
    std::array<Source, Catalogue::DataSetCount> sources;
    // What the opened file held that was not as the writer leaves it.
    QList<BackupFile::Damage> damage;
    // Every part of the opened file carried its checksum and matched it.
    bool checksums = false;
    // The opened file was not read to its proven end: sets may be missing from it.
    bool incomplete = false;

    enum class Opened { Ok, Incomplete, NotABackup, NotComplete, CannotOpen };
    // A .GTB2 file, or an old .GTB one (only a whole backup). On anything but Ok and
    // Incomplete the document is as it was. A damaged file opens as Incomplete with `damage`
    // naming the places; a damaged meta block alone opens as Ok with `damage` set.
    Opened open(const QString &path);
    // Written beside the target and put in its place only when complete. False when the file
    // could not be written (errorText says why); the document is then unchanged.
    bool save(const QString &path);
    // For a file that must not exist before: written beside `path`, then linked to its name,
    // so it is created at that moment and replaces nothing, nor writes through a link found
    // there. A name taken meanwhile is NameTaken, never replaced.
    enum class Created { Yes, NameTaken, Failed };
    Created saveNew(const QString &path);
    // The same, passing over taken names to the next free one: n = 1 is `path`, n > 1 is
    // `path` with -n before the extension, counted from `first`. filePath says where it went.
    Created saveNumbered(const QString &path, int first = 1);
    // Something is at `path`: a file, a folder, or a link, even one that leads nowhere.
    static bool nameTaken(const QString &path);
    QString errorText;
    void clear();
    // The file the document was opened from or saved to, and its name without the folder.
    void setFile(const QString &path);
    bool holdsData() const;
    void setSource(const QString &serial, const QString &software);
    // After a download of `sets` from a station: their source, the identity the file will
    // name, the changed mark.
    void downloaded(const QList<int> &sets, const QString &serial, const QString &software);
    // The held sets come from more than one station or file.
    bool mixedSources() const;
    // "Gleistron 56347812, 08.12.2026 14:03" or the file's name.
    static QString sourceText(const Source &source);
    bool damagedSet(int set) const;

private:
    bool writeWhole(QFileDevice &file);
    Created create(const QString &path, bool numbered, int first);
};
