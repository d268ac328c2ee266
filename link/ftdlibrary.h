#pragma once

#include "ftd2xx/d2xx.h"

#include <QString>
#include <QtGlobal>
#include <memory>

class QLibrary;

// The adapter library "ftd2xx", loaded at run time, and the calls that concern all adapters.
class FtdLibrary
{
public:
    FtdLibrary(); // throws const char* when the library or a function is missing
    ~FtdLibrary();
    FtdLibrary(const FtdLibrary &) = delete;
    FtdLibrary &operator=(const FtdLibrary &) = delete;

    quint32 nr_devices();
    bool closeAll();

    QLibrary *qlibrary() const { return library.get(); }

    // The file the program loads: $GLEISTRON_FTD2XX, else our copy beside the program, else the
    // system's "ftd2xx".
    static QString libraryLocation();

private:
    std::unique_ptr<QLibrary> library;
    FT_ListDevices_t FT_ListDevices = nullptr;
    FT_GetDeviceInfoList_t FT_GetDeviceInfoList = nullptr;
    FT_CreateDeviceInfoList_t FT_CreateDeviceInfoList = nullptr;
    FT_Close_t FT_Close = nullptr;
};
