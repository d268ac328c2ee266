#pragma once

#include "dataimage.h"

#include <QList>
#include <QString>
#include <QStringList>

// What differs between two documents, record by record, with the set keys and numbering of a
// restore's verify: track-plan blocks as row x 16 + column / 8, "loklisten" and "s88" for the
// companions. Sets in catalogue order, numbers ascending.
namespace BackupDiff {

struct Line
{
    enum Change { Added, Removed, Changed }; // added: only the second document holds it
    QString set;
    int number;
    Change change;
    QString note; // a route's comment
};

QString changeText(Line::Change change); // "added", "removed", "changed"

// `only`, when given, limits the comparison to the sets it selects (selectedSets).
QList<Line> compare(const DataImage &a, const DataImage &b, const DataImage *only = nullptr);

// A record a comparison can name: a set key or "loklisten" or "s88", and a number in its range.
bool isRecord(const QString &set, int number);

// What changed inside a record both documents hold, for people and in the window's language:
// a route's comment, mode, keys and card rows in the routes tab's texts ("Stellbefehle 3:
// Weiche 44 gerade → Weiche 44 abzweig"), a track-plan block's cells, any other record's
// differing byte ranges in hex. Empty for a line that is not `Changed`.
QStringList details(const DataImage &a, const DataImage &b, const Line &line);

} // namespace BackupDiff
