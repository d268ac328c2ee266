#pragma once

#include "dataimage.h"

// What an upload sends: shared by the upload job and the check of a restore.
namespace UploadRules {

// A data set takes part when it is selected and the document holds it.
bool takesPart(const DataImage &image, int set);
// Record 0 always; the others only when present.
bool recordSent(const DataImage &image, int statusOffset, int n);
// Images only when present; image 0 never.
bool imageSent(const DataImage &image, int n);
// A block of eight cells is sent unless every cell begins with 0 or 0xFF; row 0, column 0
// always.
bool planBlockSent(const quint8 *block, int row, int column);

} // namespace UploadRules
