#pragma once

#include "dataimage.h"

#include <QList>
#include <QString>

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

} // namespace BackupDiff
