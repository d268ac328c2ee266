// A scripted stand-in for the adapter library, for tests whose timing and failures must be
// exact. Each FT_Write/FT_Read takes the next scripted result; unscripted writes succeed and
// unscripted reads time out with nothing. Built once without FT_Close to test a missing function.

#include "ftd2xx/d2xx.h"

#include <cstring>
#include <deque>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#define FT_EXPORT extern "C" __attribute__((visibility("default")))

namespace {
struct Step
{
    int result; // -1 driver error, else number of bytes
    std::vector<unsigned char> data;
};
std::mutex mutex;
std::deque<Step> writes;
std::deque<Step> reads;
std::string calls;
std::vector<std::vector<unsigned char>> written;
unsigned devices = 1;
std::set<uintptr_t> openHandles;
bool openFails = false;
uintptr_t nextHandle = 1;

// A call with a handle the library gave and then closed is recorded as X: callers must never
// make one.
bool stale(FT_HANDLE handle)
{
    const auto h = reinterpret_cast<uintptr_t>(handle);
    if (h && !openHandles.count(h)) {
        calls += 'X';
        return true;
    }
    return false;
}
} // namespace

FT_EXPORT void fake_reset(unsigned deviceCount)
{
    std::lock_guard<std::mutex> lock(mutex);
    writes.clear();
    reads.clear();
    calls.clear();
    written.clear();
    devices = deviceCount;
    openHandles.clear();
    openFails = false;
}

// The adapter is listed but cannot be opened (unplugged between the list and the open).
FT_EXPORT void fake_fail_open(bool fail)
{
    std::lock_guard<std::mutex> lock(mutex);
    openFails = fail;
}

FT_EXPORT void fake_push_write(int result)
{
    std::lock_guard<std::mutex> lock(mutex);
    writes.push_back({result, {}});
}

FT_EXPORT void fake_push_read(int result, const unsigned char *data, int length)
{
    std::lock_guard<std::mutex> lock(mutex);
    reads.push_back({result, std::vector<unsigned char>(data, data + (length > 0 ? length : 0))});
}

// Copies the index-th written block into buffer; returns its length, -1 past the last.
FT_EXPORT int fake_written(int index, unsigned char *buffer, int size)
{
    std::lock_guard<std::mutex> lock(mutex);
    if (index < 0 || size_t(index) >= written.size())
        return -1;
    const auto &block = written[size_t(index)];
    if (!block.empty() && size > 0)
        std::memcpy(buffer, block.data(), std::min<size_t>(block.size(), size_t(size)));
    return int(block.size());
}

FT_EXPORT const char *fake_calls()
{
    std::lock_guard<std::mutex> lock(mutex);
    return calls.c_str();
}

FT_EXPORT FT_STATUS FT_ListDevices(PVOID arg1, PVOID arg2, DWORD flags)
{
    if (flags & FT_LIST_NUMBER_ONLY) {
        *static_cast<DWORD *>(arg1) = devices;
        return FT_OK;
    }
    const auto index = reinterpret_cast<uintptr_t>(arg1);
    if (index >= devices)
        return FT_DEVICE_NOT_FOUND;
    std::strcpy(static_cast<char *>(arg2), "FAKE0001");
    return FT_OK;
}

FT_EXPORT FT_STATUS FT_CreateDeviceInfoList(LPDWORD numDevs)
{
    *numDevs = devices;
    return FT_OK;
}

// Every open handle is listed on the first adapter, so that closeAll closes it.
FT_EXPORT FT_STATUS FT_GetDeviceInfoList(FT_DEVICE_LIST_INFO_NODE *dest, LPDWORD numDevs)
{
    std::lock_guard<std::mutex> lock(mutex);
    std::memset(dest, 0, sizeof(FT_DEVICE_LIST_INFO_NODE) * devices);
    if (devices > 0 && !openHandles.empty())
        dest[0].ftHandle = reinterpret_cast<FT_HANDLE>(*openHandles.begin());
    *numDevs = devices;
    return FT_OK;
}

#ifndef FAKE_WITHOUT_CLOSE
FT_EXPORT FT_STATUS FT_Close(FT_HANDLE handle)
{
    std::lock_guard<std::mutex> lock(mutex);
    if (!handle || stale(handle))
        return FT_INVALID_HANDLE;
    openHandles.erase(reinterpret_cast<uintptr_t>(handle));
    return FT_OK;
}
#endif

FT_EXPORT FT_STATUS FT_Open(int index, FT_HANDLE *handle)
{
    std::lock_guard<std::mutex> lock(mutex);
    if (index < 0 || unsigned(index) >= devices || openFails)
        return FT_DEVICE_NOT_FOUND;
    const uintptr_t h = nextHandle++;
    openHandles.insert(h);
    *handle = reinterpret_cast<FT_HANDLE>(h);
    return FT_OK;
}

FT_EXPORT FT_STATUS FT_ResetDevice(FT_HANDLE handle)
{
    std::lock_guard<std::mutex> lock(mutex);
    calls += 'Z';
    return stale(handle) ? FT_INVALID_HANDLE : FT_OK;
}
FT_EXPORT FT_STATUS FT_SetBaudRate(FT_HANDLE, ULONG)
{
    return FT_OK;
}
FT_EXPORT FT_STATUS FT_SetDataCharacteristics(FT_HANDLE, UCHAR, UCHAR, UCHAR)
{
    return FT_OK;
}
FT_EXPORT FT_STATUS FT_SetTimeouts(FT_HANDLE, ULONG, ULONG)
{
    return FT_OK;
}
FT_EXPORT FT_STATUS FT_SetLatencyTimer(FT_HANDLE, UCHAR)
{
    return FT_OK;
}
FT_EXPORT FT_STATUS FT_Purge(FT_HANDLE, ULONG)
{
    return FT_OK;
}

FT_EXPORT FT_STATUS FT_Write(FT_HANDLE handle, LPVOID buffer, DWORD toWrite, LPDWORD writtenCount)
{
    std::lock_guard<std::mutex> lock(mutex);
    calls += 'W';
    if (stale(handle))
        return FT_INVALID_HANDLE;
    const auto *bytes = static_cast<const unsigned char *>(buffer);
    written.emplace_back(bytes, bytes + toWrite);
    Step step{int(toWrite), {}};
    if (!writes.empty()) {
        step = writes.front();
        writes.pop_front();
    }
    if (step.result < 0)
        return FT_IO_ERROR;
    *writtenCount = DWORD(step.result);
    return FT_OK;
}

FT_EXPORT FT_STATUS FT_Read(FT_HANDLE handle, LPVOID buffer, DWORD toRead, LPDWORD returned)
{
    std::lock_guard<std::mutex> lock(mutex);
    calls += 'R';
    if (stale(handle))
        return FT_INVALID_HANDLE;
    Step step{0, {}};
    if (!reads.empty()) {
        step = reads.front();
        reads.pop_front();
    }
    if (step.result < 0)
        return FT_IO_ERROR;
    // A script that has run out reads nothing: no copy from an empty step's null data.
    const size_t n = std::min<size_t>(step.data.size(), toRead);
    if (n > 0)
        std::memcpy(buffer, step.data.data(), n);
    *returned = DWORD(n);
    return FT_OK;
}
