#pragma once

#include "model/uploadcheck.h"

#include <QList>
#include <QMetaType>
#include <QString>

// What a transfer has to say beyond its jobs' section lines, as a value: the kind, the sets,
// the figures. The window renders it as rich text, the command-line tool as plain lines.
struct TransferEvent
{
    enum class Kind {
        // The jobs
        DownloadStopped,   // done, left
        DownloadFailed,    // the station kept answering wrongly at set/record; done, left
        UploadEnded,       // ended early (end); done (images), left, pending
        UploadStopping,    // a stop waits until `sets` are stored
        UploadUnconfirmed, // `sets` were sent while the link was lost and found again
        // The transfer session
        ReadForCompare, // the station was read beside the document (seconds)
        ReadForKeeping, // ... for the keep-previous file (seconds)
        ReadForMerging, // ... for a copy that takes single records from the file (seconds)
        NothingSent,
        KeptFile, // path
        Verified, // compared, differences
    };
    enum class End { Stopped, LeftPcMode, Failed };

    Kind kind = Kind::NothingSent;
    End end = End::Stopped;
    QList<int> done;    // sets finished (taken from the file)
    QList<int> left;    // sets not taken (kept by the station)
    QList<int> pending; // sets sent and not stored
    QList<int> sets;
    int images = 0; // images taken of a set not finished
    int set = -1;   // where the station kept answering wrongly
    int record = -1;
    QString seconds;
    QString path;
    int compared = 0;
    QList<UploadCheck::Difference> differences;
};
Q_DECLARE_METATYPE(TransferEvent)

// The texts of the events, translated, without markup.
namespace TransferTexts {
enum class Tone { Plain, Good, Warning, Bad };
struct Line
{
    bool spaced = false; // a blank line before
    Tone tone = Tone::Plain;
    QString head;       // the part said with emphasis, in the tone's colour
    QString text;       // the rest; may hold %1 for `name`
    QString name;       // a file name the window shows in bold
    bool ruled = false; // a rule after: the transfer's last line
};
QList<Line> lines(const TransferEvent &event);
// The lines as plain text, one a line.
QString plain(const TransferEvent &event);
} // namespace TransferTexts
