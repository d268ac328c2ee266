#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// Why a restore ends before anything is sent, as a value: each face says it in its words.
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
