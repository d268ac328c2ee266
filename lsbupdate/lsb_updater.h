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

protected:
    void run() override;
};
