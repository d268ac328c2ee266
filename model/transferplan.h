#pragma once

#include "catalogue.h"

#include <QtGlobal>

// How a data set travels in a download or an upload: its share of the progress and where the
// progress is reported inside it. Both jobs take their numbers from here.
namespace TransferPlan {

struct Section
{
    quint32 weight;     // blocks of a full transfer; the total of the selected sets is 100 %
    quint32 uploadDone; // what the upload counts done after the set (its own count, 4100 and 4)
    quint32 factor;     // progress position per record number (per row for the track plans)
    int quietEvery;     // no progress before record numbers that are multiples of it; 0: none
    int records;        // record numbers transferred: first to records - 1
    int first;
};

inline const Section &of(int set)
{
    static const Section sections[Catalogue::DataSetCount] = {
        {4112, 4112, 4, 20, 1024, 0},    // lokomotiven, the lists after them
        {1024, 1024, 16, 0, 64, 0},      // gleisplan1, by rows
        {1024, 1024, 16, 0, 64, 0},      // gleisplan2
        {1024, 1024, 16, 0, 64, 0},      // gleisplan3
        {1024, 1024, 1, 40, 1024, 0},    // weichen
        {4096, 4100, 4, 40, 1024, 0},    // rueckmelder, S88 after them
        {16384, 16384, 16, 40, 1024, 0}, // fahrstrassen with their illumination
        {2048, 2048, 1, 40, 2048, 0},    // lsb
        {1024, 1024, 4, 40, 256, 0},     // hsb
        {8, 4, 0, 0, 0, 0},              // system, no progress inside
        {19200, 19200, 192, 0, 100, 1},  // lokbilder, image 0 never
    };
    return sections[set];
}

} // namespace TransferPlan
