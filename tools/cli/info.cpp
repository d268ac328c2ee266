// info: who the station is.

#include "cli.h"

#include "link/stationprobe.h"

#include <cstdio>

namespace Cli {

int commandInfo()
{
    StationProbe probe;
    attachStationReports(probe);
    int code = Done;
    QObject::connect(
        &probe, &StationLink::signal_info_noGleistron, &probe, [&code] { code = NoStation; },
        Qt::QueuedConnection);
    QObject::connect(
        &probe, &StationLink::signal_info_portHeld, &probe, [&code] { code = Failed; },
        Qt::QueuedConnection);
    QObject::connect(
        &probe, &StationLink::signal_info_invalidMode, &probe, [&code] { code = WrongMode; },
        Qt::QueuedConnection);
    QObject::connect(
        &probe, &StationLink::signal_info_gleistronVersion, &probe,
        [](const QString &serial, const QString &software, const QString &protocol,
           const QString &dataModel) {
            std::printf("serial %s\nsoftware %s\nprotocol %s\ndatamodel %s\n", qPrintable(serial),
                        qPrintable(software), qPrintable(protocol), qPrintable(dataModel));
            std::fflush(stdout);
        },
        Qt::QueuedConnection);
    if (!runJob(probe))
        return Failed;
    return code;
}

} // namespace Cli
