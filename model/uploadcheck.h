#pragma once

#include "dataimage.h"

#include <QList>
#include <QString>

// Compares the station's state after an upload, read back whole, with the document that was
// sent: every record, block and companion of the sets that took part.
namespace UploadCheck {

struct Difference
{
    QString set; // data-set key, or "loklisten" / "s88" for the companions
    int number;  // record number; a track-plan block as row x 16 + column / 8
    int byte;    // first differing byte of the record
    // The station holds the record and the document does not. The station has no command
    // that deletes a record, so an upload cannot make these go.
    bool stationOnly = false;
};

// The sets the read-back download must select: those that took part in the upload.
void selectReadBack(const DataImage &sent, DataImage &readBack);
QList<Difference> compare(const DataImage &sent, const DataImage &readBack,
                          int *compared = nullptr);
int stationOnlyCount(const QList<Difference> &differences);

} // namespace UploadCheck
