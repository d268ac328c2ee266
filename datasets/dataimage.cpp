#include "dataimage.h"

#include <cstring>

DataImage::DataImage()
{
    for (int i = 0; i < Catalogue::BankCount; ++i) {
        // Banks are not cleared, as on the station side nothing relies on their initial content;
        // value-initialising keeps tools and tests deterministic all the same.
        banks[size_t(i)] = std::make_unique<quint8[]>(Catalogue::BankSize);
        bankPointers[size_t(i)] = banks[size_t(i)].get();
    }
    for (int i = 0; i < Catalogue::LokbildCount; ++i) {
        lokbilder[size_t(i)] = std::make_unique<quint8[]>(Catalogue::LokbildSize);
        lokbildPointers[size_t(i)] = lokbilder[size_t(i)].get();
    }
}

int DataImage::presentRecords(int set) const
{
    const Catalogue::Entry &e = Catalogue::entry(set);
    if (e.statusOffset < 0)
        return 0;
    int count = 0;
    for (int n = 1; n < e.records; ++n) {
        if (recordStatus[size_t(e.statusOffset + n)] > 0)
            ++count;
    }
    return count;
}

void DataImage::storeRoute(int n, const quint8 *record)
{
    QMutexLocker lock(&routeMutex);
    std::memcpy(bank(0) + Catalogue::RouteOffset + n * 512, record, 512);
}

void DataImage::copyRoute(int n, quint8 *record) const
{
    QMutexLocker lock(&routeMutex);
    std::memcpy(record, bank(0) + Catalogue::RouteOffset + n * 512, 512);
}
