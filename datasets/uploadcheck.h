#pragma once

#include "dataimage.h"

#include <QList>
#include <QString>

// Compares what an upload sent with what a download then read back from the station.
namespace UploadCheck {

struct Difference
{
    QString set; // data-set key, or "loklisten" / "s88" for the companions
    int number;  // record number; a track-plan block as row x 16 + column / 8
    int byte;    // first differing byte of the record
};

// The sets the read-back download must select: those that took part in the upload.
void selectReadBack(const DataImage &sent, DataImage &readBack);
QList<Difference> compare(const DataImage &sent, const DataImage &readBack,
                          int *compared = nullptr);

} // namespace UploadCheck
