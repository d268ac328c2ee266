#pragma once

#include "model/uploadcheck.h"

#include <QList>
#include <QString>
#include <QStringList>

// What a transfer session says beside its jobs' own messages, as values: the window renders
// them as rich text, the command-line tool as plain lines.

// Why a restore ends before anything is sent.
struct SessionProblem
{
    enum class Kind {
        None,
        KeepIsSource,    // the keep-previous file is the file being restored
        KeepTaken,       // it exists
        KeepUnwritable,  // it cannot be written (error)
        KeepAppeared,    // it appeared while the station was read
        KeepWriteFailed, // writing it failed (error)
        FileCut,         // the file is cut short and may lack a selected set
        FileDamaged,     // selected sets are damaged (sets, places)
        NothingSelected, // no selected set is in the file
    };
    Kind kind = Kind::None;
    QString path;
    QString error;
    QList<int> sets;
    QStringList places;

    bool none() const { return kind == Kind::None; }
};

// A step's report.
struct SessionEvent
{
    enum class Kind {
        ReadForCompare, // the station was read beside the document (seconds)
        ReadForKeeping, // ... for the keep-previous file (seconds)
        NothingSent,
        KeptFile, // path
        Verified, // compared, differences
    };
    Kind kind = Kind::NothingSent;
    QString seconds;
    QString path;
    int compared = 0;
    QList<UploadCheck::Difference> differences;
};

// The texts of the events, translated, without markup: one line each, with how it is meant.
namespace SessionTexts {
enum class Tone { Plain, Good, Bad };
struct Line
{
    Tone tone = Tone::Plain;
    QString text;     // may hold %1 for `emphasis`
    QString emphasis; // a name the window shows in bold
};
QList<Line> lines(const SessionEvent &event);
} // namespace SessionTexts
