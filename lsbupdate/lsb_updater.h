#pragma once

#include "link/comm2pc.h"

#include <QString>

// Sends a firmware file to the LSB device that the station holds in update mode.
class LSB_Updater : public Comm2Pc
{
    Q_OBJECT
public:
    LSB_Updater() = default;

    QString fileName;

signals:
    void signal_lsb_update_device(unsigned short address, unsigned short type,
                                  unsigned short hw_version, unsigned short sw_version);
    void signal_lsb_update_data(unsigned short type, unsigned short hw_version,
                                unsigned short sw_version);
    void signal_lsb_update_file_error();
    void signal_lsb_update_invalid_mode();
    // The device is of another type than the firmware file: nothing was sent.
    void signal_lsb_update_type_mismatch(unsigned short fileType, unsigned short deviceType);
    // The transfer ended; datagrams that failed were reported on their own.
    void signal_lsb_update_finished(int bytes, int datagrams);

protected:
    void run() override;
};
