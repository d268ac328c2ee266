#pragma once

#include "catalogue.h"

#include <QMutex>
#include <QtGlobal>
#include <array>
#include <memory>

// The document: the station's data sets in memory at their fixed places, with their status.
// Allocated once and never moved, so jobs may keep pointers into it.
class DataImage
{
public:
    DataImage();
    // A copy to keep beside the document, say for a comparison shown while it changes.
    std::unique_ptr<DataImage> clone() const;

    quint8 *bank(int n) { return banks[size_t(n)].get(); }
    const quint8 *bank(int n) const { return banks[size_t(n)].get(); }
    quint8 *lokbild(int n) { return lokbilder[size_t(n)].get(); }
    const quint8 *lokbild(int n) const { return lokbilder[size_t(n)].get(); }

    // 0 unknown, 1 present, -1 empty on the station.
    std::array<qint8, Catalogue::StatusSize> recordStatus{};
    std::array<quint8, Catalogue::DataSetCount> selectedSets{};
    std::array<quint8, Catalogue::DataSetCount> presentSets{};
    // The S88 configuration travels with two sets (read with either, stored in files with the
    // system configuration): the document holds it only when a download or a file brought it.
    bool s88Present = false;

    // Record n of a record set (not the track plans or the system configuration). Every
    // record's address comes from here.
    quint8 *record(int set, int n);
    const quint8 *record(int set, int n) const;
    // A route's illumination, the second half of its 1024 bytes, kept in another bank.
    quint8 *illumination(int n) { return bank(2) + Catalogue::AusleuchtungOffset + n * 512; }
    const quint8 *illumination(int n) const
    {
        return bank(2) + Catalogue::AusleuchtungOffset + n * 512;
    }
    // Locomotive list l (0 to 3), which travels with the locomotives.
    quint8 *lokliste(int l) { return bank(0) + Catalogue::LoklistenOffset + l * 256; }
    const quint8 *lokliste(int l) const { return bank(0) + Catalogue::LoklistenOffset + l * 256; }

    // Track plan p (0 to 2): 64 rows of 128 cells of 8 bytes; the cell at row r, column c.
    quint8 *gleisplan(int p, int r = 0, int c = 0)
    {
        return bank(1) + Catalogue::GleisplanOffset * (p + 1) + r * 1024 + c * 8;
    }
    const quint8 *gleisplan(int p, int r = 0, int c = 0) const
    {
        return bank(1) + Catalogue::GleisplanOffset * (p + 1) + r * 1024 + c * 8;
    }
    quint8 *s88() { return bank(0) + Catalogue::S88Offset; }
    const quint8 *s88() const { return bank(0) + Catalogue::S88Offset; }
    quint8 *systemKonfiguration() { return bank(0) + Catalogue::SystemOffset; }
    const quint8 *systemKonfiguration() const { return bank(0) + Catalogue::SystemOffset; }

    // Records with status present among record numbers 1 to the last of a set.
    int presentRecords(int set) const;

    // Route records cross threads (the route loader, the download, the shown route): they are
    // stored and read whole under this lock, so a shown route is never half rewritten.
    void storeRoute(int n, const quint8 *record);
    void copyRoute(int n, quint8 *record) const;

private:
    mutable QMutex routeMutex;
    std::array<std::unique_ptr<quint8[]>, Catalogue::BankCount> banks;
    std::array<std::unique_ptr<quint8[]>, Catalogue::LokbildCount> lokbilder;
};
