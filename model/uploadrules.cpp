#include "uploadrules.h"

namespace UploadRules {

bool takesPart(const DataImage &image, int set)
{
    return image.selectedSets[size_t(set)] && image.presentSets[size_t(set)];
}

bool recordSent(const DataImage &image, int statusOffset, int n)
{
    return n == 0 || image.recordStatus[size_t(statusOffset + n)] > 0;
}

bool imageSent(const DataImage &image, int n)
{
    return n > 0 && image.recordStatus[size_t(Catalogue::StatusLokbilder + n)] > 0;
}

bool planBlockSent(const quint8 *block, int row, int column)
{
    if (row == 0 && column == 0)
        return true;
    for (int k = 0; k < 8; ++k) {
        if (block[k * 8] != 0 && block[k * 8] != 0xFF)
            return true;
    }
    return false;
}

} // namespace UploadRules
