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

std::unique_ptr<DataImage> DataImage::clone() const
{
    auto copy = std::make_unique<DataImage>();
    QMutexLocker lock(&routeMutex);
    for (size_t b = 0; b < banks.size(); ++b)
        std::memcpy(copy->banks[b].get(), banks[b].get(), Catalogue::BankSize);
    for (size_t i = 0; i < lokbilder.size(); ++i)
        std::memcpy(copy->lokbilder[i].get(), lokbilder[i].get(), Catalogue::LokbildSize);
    copy->recordStatus = recordStatus;
    copy->selectedSets = selectedSets;
    copy->presentSets = presentSets;
    copy->s88Present = s88Present;
    return copy;
}

const quint8 *DataImage::record(int set, int n) const
{
    using namespace Catalogue;
    const int size = entry(set).recordSize;
    switch (set) {
    case Lokomotiven:
        return bank(0) + LokOffset + n * size;
    case Weichen:
        return bank(1) + WeichenOffset + n * size;
    case Rueckmelder:
        return bank(2) + RueckmelderOffset + n * size;
    case Fahrstrassen:
        return bank(0) + RouteOffset + n * size;
    case Lsb:
        return bank(0) + LsbOffset + n * size;
    case Hsb:
        return bank(0) + HsbOffset + n * size;
    default:
        return lokbild(n);
    }
}

quint8 *DataImage::record(int set, int n)
{
    return const_cast<quint8 *>(static_cast<const DataImage *>(this)->record(set, n));
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
    std::memcpy(this->record(Catalogue::Fahrstrassen, n), record, 512);
}

void DataImage::copyRoute(int n, quint8 *record) const
{
    QMutexLocker lock(&routeMutex);
    std::memcpy(record, this->record(Catalogue::Fahrstrassen, n), 512);
}
