#pragma once

#include "ftd2xx/d2xx.h"

#include <QString>
#include <QtGlobal>

class FtdLibrary;

// One adapter, addressed by its index in the driver's list; one thin operation per call.
class FtdDevice
{
public:
    explicit FtdDevice(FtdLibrary &library); // throws const char* for a missing function
    ~FtdDevice();
    FtdDevice(const FtdDevice &) = delete;
    FtdDevice &operator=(const FtdDevice &) = delete;

    bool open(int index);
    // Closes this device's own handle, if it holds one.
    void close();
    // The handle was closed elsewhere (a search's closeAll): forget it, never call with it.
    void forget();
    void resetDevice();
    bool setBaudRate(quint32 rate);
    bool setDataCharacteristics(quint8 wordLength, quint8 stopBits, quint8 parity);
    bool setTimeouts(quint32 readMs, quint32 writeMs);
    bool setLatencyTimer(quint8 ms);
    bool purge(quint32 mask);
    int write(const quint8 *data, quint32 length);
    int read(quint8 *buffer, quint32 length);

    FT_HANDLE handle = nullptr;
    FtdLibrary *library;
    QString serialNr; // of the adapter last opened

private:
    FT_ResetDevice_t FT_ResetDevice;
    FT_Open_t FT_Open;
    FT_Close_t FT_Close;
    FT_ListDevices_t FT_ListDevices;
    FT_SetBaudRate_t FT_SetBaudRate;
    FT_SetDataCharacteristics_t FT_SetDataCharacteristics;
    FT_SetTimeouts_t FT_SetTimeouts;
    FT_Purge_t FT_Purge;
    FT_Write_t FT_Write;
    FT_Read_t FT_Read;
    FT_SetLatencyTimer_t FT_SetLatencyTimer;
};
