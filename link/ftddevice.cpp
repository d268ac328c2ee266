#include "ftddevice.h"

#include "ftdlibrary.h"
#include "logging.h"

#include <QLibrary>

namespace {
template <typename F> F resolveIn(QLibrary *library, const char *name)
{
    return reinterpret_cast<F>(library->resolve(name));
}
} // namespace

FtdDevice::FtdDevice(FtdLibrary &lib)
    : library(&lib), FT_ResetDevice(resolveIn<FT_ResetDevice_t>(lib.qlibrary(), "FT_ResetDevice")),
      FT_Open(resolveIn<FT_Open_t>(lib.qlibrary(), "FT_Open")),
      FT_Close(resolveIn<FT_Close_t>(lib.qlibrary(), "FT_Close")),
      FT_ListDevices(resolveIn<FT_ListDevices_t>(lib.qlibrary(), "FT_ListDevices")),
      FT_SetBaudRate(resolveIn<FT_SetBaudRate_t>(lib.qlibrary(), "FT_SetBaudRate")),
      FT_SetDataCharacteristics(
          resolveIn<FT_SetDataCharacteristics_t>(lib.qlibrary(), "FT_SetDataCharacteristics")),
      FT_SetTimeouts(resolveIn<FT_SetTimeouts_t>(lib.qlibrary(), "FT_SetTimeouts")),
      FT_Purge(resolveIn<FT_Purge_t>(lib.qlibrary(), "FT_Purge")),
      FT_Write(resolveIn<FT_Write_t>(lib.qlibrary(), "FT_Write")),
      FT_Read(resolveIn<FT_Read_t>(lib.qlibrary(), "FT_Read")),
      FT_SetLatencyTimer(resolveIn<FT_SetLatencyTimer_t>(lib.qlibrary(), "FT_SetLatencyTimer"))
{
    if (!FT_ResetDevice)
        throw "FT_ResetDevice not loaded!";
    if (!FT_Open)
        throw "FT_Open not loaded!";
    if (!FT_Close)
        throw "FT_Close not loaded!";
    if (!FT_ListDevices)
        throw "FT_ListDevices not loaded!";
    if (!FT_SetBaudRate)
        throw "FT_SetBaudRate not loaded!";
    if (!FT_SetDataCharacteristics)
        throw "FT_SetDataCharacteristics not loaded!";
    if (!FT_SetTimeouts)
        throw "FT_SetTimeouts not loaded!";
    if (!FT_Purge)
        throw "FT_Purge not loaded!";
    if (!FT_Write)
        throw "FT_Write not loaded!";
    if (!FT_Read)
        throw "FT_Read not loaded!";
}

// The handle is not closed here: the job closes it when its run ends, a search's closeAll
// releases all others.
FtdDevice::~FtdDevice()
{
    qCDebug(lcLink, "FtdDevice with handle %u deallocated!", unsigned(quintptr(handle)));
}

bool FtdDevice::open(int index)
{
    char buffer[64] = {};
    if (FT_ListDevices(reinterpret_cast<PVOID>(quintptr(index)), buffer,
                       FT_LIST_BY_INDEX | FT_OPEN_BY_SERIAL_NUMBER) == FT_OK) {
        buffer[sizeof buffer - 1] = 0;
        serialNr = QString::fromLatin1(buffer);
    } else {
        serialNr = QString();
    }
    qCDebug(lcLink, "# in open(int): started");
    handle = nullptr;
    if (FT_Open(index, &handle) != FT_OK) {
        handle = nullptr;
        return false;
    }
    qCDebug(lcLink, "# in open(int): device %d successfully opened", index);
    return true;
}

void FtdDevice::close()
{
    if (handle)
        FT_Close(handle);
    forget();
}

void FtdDevice::forget()
{
    handle = nullptr;
}

// The calls below go to the library with a handle it gave and has not closed, or with none
// (which it refuses): the maker's library promises nothing for a handle it has closed, so a
// closed one is forgotten at once.
void FtdDevice::resetDevice()
{
    if (handle)
        FT_ResetDevice(handle);
}

bool FtdDevice::setBaudRate(quint32 rate)
{
    return FT_SetBaudRate(handle, rate) == FT_OK;
}

bool FtdDevice::setDataCharacteristics(quint8 wordLength, quint8 stopBits, quint8 parity)
{
    return FT_SetDataCharacteristics(handle, wordLength, stopBits, parity) == FT_OK;
}

bool FtdDevice::setTimeouts(quint32 readMs, quint32 writeMs)
{
    return FT_SetTimeouts(handle, readMs, writeMs) == FT_OK;
}

bool FtdDevice::setLatencyTimer(quint8 ms)
{
    // Optional: older libraries lack it, and the link works without it (only slower).
    return FT_SetLatencyTimer && FT_SetLatencyTimer(handle, ms) == FT_OK;
}

bool FtdDevice::purge(quint32 mask)
{
    return FT_Purge(handle, mask) == FT_OK;
}

int FtdDevice::write(const quint8 *data, quint32 length)
{
    DWORD written = 0;
    if (FT_Write(handle, const_cast<quint8 *>(data), length, &written) != FT_OK)
        return -1;
    return int(written);
}

int FtdDevice::read(quint8 *buffer, quint32 length)
{
    DWORD received = 0;
    if (FT_Read(handle, buffer, length, &received) != FT_OK)
        return -1;
    return int(received);
}
