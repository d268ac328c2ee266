#include "catalogue.h"

namespace Catalogue {

namespace {
const std::array<Entry, DataSetCount> entries = {{
    {"lokomotiven", "Lokomotiven", 1024, 256, StatusLokomotiven},
    {"gleisplan1", "Gleisplan 1", 0, 65536, -1},
    {"gleisplan2", "Gleisplan 2", 0, 65536, -1},
    {"gleisplan3", "Gleisplan 3", 0, 65536, -1},
    {"weichen", "Schaltartikel", 1024, 64, StatusWeichen},
    {"rueckmelder", "Rückmelder", 1024, 256, StatusRueckmelder},
    {"fahrstrassen", "Fahrstrassen", 1024, 512, StatusFahrstrassen},
    {"lsb", "LSB-Geräte", 2048, 32, StatusLsb},
    {"hsb", "HSB-Geräte", 256, 256, StatusHsb},
    {"system", "Systemkonfiguration", 0, 256, -1},
    {"lokbilder", "Lokbilder", 100, LokbildSize, StatusLokbilder},
}};
} // namespace

const Entry &entry(int set)
{
    return entries.at(size_t(set));
}

int indexOfKey(const QString &key)
{
    for (int i = 0; i < DataSetCount; ++i) {
        if (key == QLatin1String(entries[size_t(i)].key))
            return i;
    }
    return -1;
}

} // namespace Catalogue
