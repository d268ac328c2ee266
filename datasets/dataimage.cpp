#include "dataimage.h"

#include <cstring>

DataImage::DataImage()
{
    // Zero-filled: nothing of a document comes from memory that held something else.
    for (auto &bank : banks)
        bank = std::make_unique<quint8[]>(Catalogue::BankSize);
    for (auto &image : lokbilder)
        image = std::make_unique<quint8[]>(Catalogue::LokbildSize);
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
