#pragma once

#include <QString>

class StationLink;

// What a tab needs of the window that holds it: the station serves one job at a time, and
// every job's station reports go to one place.
class JobHost
{
public:
    // True (and says so) while a job runs.
    virtual bool refuseWhileBusy() = 0;
    // Tracks a started job, so that closing the window stops it; an owned one is deleted after.
    virtual void trackJob(StationLink *job, bool owned = true) = 0;
    // The station reports of a job (no station, wrong mode, link lost and back), queued.
    virtual void connectStatus(StationLink *job) = 0;
    // The station as the last job reported it.
    virtual QString stationSerial() const = 0;

protected:
    ~JobHost() = default;
};
