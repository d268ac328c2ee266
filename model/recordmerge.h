#pragma once

#include "dataimage.h"

#include <QList>
#include <QString>
#include <array>

// Taking single records back from a backup: which ones it can give, and putting them into a
// copy of the station's sets that is then sent whole. Numbered as BackupDiff names them.
namespace RecordMerge {

struct Record
{
    int set;    // catalogue index
    int number; // a track plan's block as row x 16 + column / 8
    bool operator==(const Record &other) const
    {
        return set == other.set && number == other.number;
    }
};

// "<set>:<n>[,<n>...][;<set>:...]", sorted and without repeats. Empty with `error` set for
// anything else, also for the system configuration and the companions, which travel only with
// their whole sets.
QList<Record> parse(const QString &text, QString *error);

// The sets the records are in, as selectedSets.
std::array<quint8, Catalogue::DataSetCount> sets(const QList<Record> &records);

// Whether the image holds the record as an upload writes it: a present record (record 0
// always), a track-plan block the upload sends. The station has no delete, so a record that is
// not held cannot be taken back to empty.
bool held(const DataImage &image, const Record &record);

// The record's bytes and status from `from` into `to`; a route's illumination with it.
void take(DataImage &to, const DataImage &from, const Record &record);

QString text(const Record &record); // "weichen:12"

// A download and an upload of the sets, from the rate of a full backup at 115200 baud
// (about 8.6 ms per block).
int estimatedSeconds(const std::array<quint8, Catalogue::DataSetCount> &sets);

} // namespace RecordMerge
