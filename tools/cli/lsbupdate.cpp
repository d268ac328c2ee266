// lsb-update: firmware for the device the station holds in update mode.

#include "cli.h"

#include "link/statustexts.h"
#include "lsbupdate/lsb_updater.h"
#include "lsbupdate/lsbfile.h"

#include <cstdio>

namespace Cli {

int commandLsbUpdate(const QString &path, bool dryRun)
{
    LSB_Updater job;
    job.fileName = path;
    job.dryRun = dryRun;
    attachStationReports(job);
    int code = Done;
    QObject::connect(
        &job, &StationLink::signal_info_noGleistron, &job, [&code] { code = NoStation; },
        Qt::QueuedConnection);
    QObject::connect(
        &job, &StationLink::signal_info_portHeld, &job, [&code] { code = Failed; },
        Qt::QueuedConnection);
    QObject::connect(
        &job, &StationLink::signal_info_invalidMode, &job, [&code] { code = WrongMode; },
        Qt::QueuedConnection);
    bool finished = false;
    quint16 fileType = 0, deviceType = 0;
    QObject::connect(
        &job, &LSB_Updater::signal_lsb_update_data, &job,
        [](ushort type, ushort, ushort sw) {
            std::printf("file type %u (%s)\nfile software %u\n", type,
                        qPrintable(LsbDevice::typeName(type)), sw);
        },
        Qt::QueuedConnection);
    QObject::connect(
        &job, &LSB_Updater::signal_lsb_update_device, &job,
        [&](ushort address, ushort type, ushort hw, ushort sw) {
            std::printf("device address %u\ndevice type %u (%s)\n"
                        "device hardware %u\ndevice software %u\n",
                        address, type, qPrintable(LsbDevice::typeName(type)), hw, sw);
        },
        Qt::QueuedConnection);
    QObject::connect(
        &job, &LSB_Updater::signal_lsb_update_type_mismatch, &job,
        [&](ushort file, ushort device) {
            fileType = file;
            deviceType = device;
        },
        Qt::QueuedConnection);
    QObject::connect(
        &job, &StationLink::signal_info_communicationError, &job,
        [](const QString &what) { message(StatusTexts::communicationError() + what); },
        Qt::QueuedConnection);
    QObject::connect(
        &job, &LSB_Updater::signal_lsb_update_finished, &job,
        [&](int bytes, int datagrams) {
            std::printf("sent %d bytes in %d datagrams\n", bytes, datagrams);
            finished = true;
        },
        Qt::QueuedConnection);
    LSB_Updater::Outcome outcome = LSB_Updater::Cancelled;
    int detail = 0;
    QObject::connect(
        &job, &LSB_Updater::signal_lsb_update_ended, &job,
        [&](LSB_Updater::Outcome how, int where) {
            outcome = how;
            detail = where;
        },
        Qt::QueuedConnection);
    if (!runJob(job))
        return Failed;
    std::fflush(stdout);
    if (code != Done)
        return code;
    switch (outcome) {
    case LSB_Updater::Finished:
        return finished ? Done : Failed;
    case LSB_Updater::DryRun:
        std::printf("dry run: nothing sent\n");
        return Done;
    case LSB_Updater::LineCheckFailed:
        failure(QStringLiteral("%1: line %2 of the firmware file fails its check; nothing sent")
                    .arg(path)
                    .arg(detail));
        return Failed;
    case LSB_Updater::DatagramFailed:
        failure(QStringLiteral("update failed: the data from address %1 did not arrive; the "
                               "device was not told to take the firmware")
                    .arg(detail));
        return Failed;
    default:
        if (const QString refused = LSB_Updater::refusalText(outcome, fileType, deviceType);
            !refused.isEmpty())
            failure(refused);
        else
            failure(QStringLiteral("nothing was sent"));
        return Failed;
    }
}

} // namespace Cli
