#pragma once

#include "stationlink.h"

// Looks for the station and reports who it is (or that none answers), then lets go of the
// adapter: the search at start and "Gleistron suchen".
class StationProbe : public StationLink
{
    Q_OBJECT
protected:
    void run() override
    {
        try {
            connectDevice(false);
        } catch (const ex_stopped &) {
        }
    }
};
