#pragma once

#include "model/dataimage.h"

#include <random>

// A station whose every record is present, with random content.
inline void fullDocument(DataImage &image)
{
    using namespace Catalogue;
    std::mt19937 random(7);
    for (int b = 0; b < 3; ++b)
        for (int i = 0; i < BankSize; ++i)
            image.bank(b)[i] = quint8(random());
    for (int n = 0; n < LokbildCount; ++n)
        for (int i = 0; i < LokbildSize; ++i)
            image.lokbild(n)[i] = quint8(random());
    // Track-plan cells begin with a non-zero type, so that every block counts as used.
    for (int i = 0; i < 3 * 65536; i += 8)
        image.bank(1)[GleisplanOffset + i] = quint8(1 + i % 200);
    image.recordStatus.fill(1);
    image.recordStatus[StatusLokbilder] = 0;
    image.presentSets.fill(1);
    image.selectedSets.fill(1);
    image.s88Present = true;
}
