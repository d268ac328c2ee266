#pragma once

#include <QString>
#include <array>

// The eleven data sets of the station, in the order used everywhere (flags, transfers, boxes).
namespace Catalogue {

enum DataSet {
    Lokomotiven,
    Gleisplan1,
    Gleisplan2,
    Gleisplan3,
    Weichen,
    Rueckmelder,
    Fahrstrassen,
    Lsb,
    Hsb,
    System,
    Lokbilder,
    DataSetCount
};

struct Entry
{
    const char *key;  // set key of the command line and the check box names
    const char *name; // German caption of the check box
    int records;      // records on the station (track plans and system: 0)
    int recordSize;   // bytes per record
    int statusOffset; // first byte in recordStatus, -1 for sets without status
};

const Entry &entry(int set);
int indexOfKey(const QString &key); // -1 when unknown

// recordStatus layout
constexpr int StatusLokomotiven = 0;
constexpr int StatusWeichen = 1024;
constexpr int StatusRueckmelder = 2048;
constexpr int StatusFahrstrassen = 3072;
constexpr int StatusLsb = 4096;
constexpr int StatusHsb = 6144;
constexpr int StatusLokbilder = 6400;
constexpr int StatusSize = 6500;

// Places in the data image
constexpr int BankSize = 1024 * 1024;
constexpr int BankCount = 4;
constexpr int LokbildCount = 100;
constexpr int LokbildSize = 12288;

constexpr int RouteOffset = 0x00000;        // bank 0, 1024 x 512
constexpr int LokOffset = 0x80000;          // bank 0, 1024 x 256
constexpr int LsbOffset = 0xC0000;          // bank 0, 2048 x 32
constexpr int HsbOffset = 0xD0000;          // bank 0, 256 x 256
constexpr int LoklistenOffset = 0xF0000;    // bank 0, 4 x 256
constexpr int SystemOffset = 0xFFD00;       // bank 0, 256
constexpr int S88Offset = 0xFFF00;          // bank 0, 256
constexpr int GleisplanOffset = 0x10000;    // bank 1, plan p at 0x10000 x (p + 1)
constexpr int WeichenOffset = 0x80000;      // bank 1, 1024 x 64
constexpr int RueckmelderOffset = 0x00000;  // bank 2, 1024 x 256
constexpr int AusleuchtungOffset = 0x70000; // bank 2, 1024 x 512

} // namespace Catalogue
