// The adapter library's binary interface on 64-bit Linux, shared by the program (which resolves
// the functions at run time) and our own libftd2xx.so (which exports them).
#pragma once

#include <cstddef>
#include <cstdint>

extern "C" {

typedef unsigned int DWORD;
typedef unsigned int ULONG;
typedef unsigned int FT_STATUS;
typedef unsigned int FT_DEVICE;
typedef unsigned int BOOL;
typedef unsigned char UCHAR;
typedef void *FT_HANDLE;
typedef void *PVOID;
typedef void *LPVOID;
typedef DWORD *LPDWORD;

typedef struct _ft_device_list_info_node
{
    ULONG Flags;
    ULONG Type;
    ULONG ID;
    DWORD LocId;
    char SerialNumber[16];
    char Description[64];
    FT_HANDLE ftHandle;
} FT_DEVICE_LIST_INFO_NODE;

enum : FT_STATUS {
    FT_OK = 0,
    FT_INVALID_HANDLE = 1,
    FT_DEVICE_NOT_FOUND = 2,
    FT_DEVICE_NOT_OPENED = 3,
    FT_IO_ERROR = 4,
    FT_INSUFFICIENT_RESOURCES = 5,
    FT_INVALID_PARAMETER = 6,
    FT_INVALID_BAUD_RATE = 7,
    FT_INVALID_ARGS = 16,
    FT_NOT_SUPPORTED = 17,
    FT_OTHER_ERROR = 18,
};

enum : DWORD {
    FT_LIST_NUMBER_ONLY = 0x80000000u,
    FT_LIST_BY_INDEX = 0x40000000u,
    FT_LIST_ALL = 0x20000000u,
    FT_OPEN_BY_SERIAL_NUMBER = 1,
    FT_OPEN_BY_DESCRIPTION = 2,
};

enum : UCHAR {
    FT_BITS_8 = 8,
    FT_BITS_7 = 7,
    FT_STOP_BITS_1 = 0,
    FT_STOP_BITS_2 = 2,
    FT_PARITY_NONE = 0,
    FT_PARITY_ODD = 1,
    FT_PARITY_EVEN = 2,
};

enum : ULONG {
    FT_PURGE_RX = 1,
    FT_PURGE_TX = 2,
    FT_FLAGS_OPENED = 1,
};

typedef FT_STATUS (*FT_ListDevices_t)(PVOID, PVOID, DWORD);
typedef FT_STATUS (*FT_CreateDeviceInfoList_t)(LPDWORD);
typedef FT_STATUS (*FT_GetDeviceInfoList_t)(FT_DEVICE_LIST_INFO_NODE *, LPDWORD);
typedef FT_STATUS (*FT_Open_t)(int, FT_HANDLE *);
typedef FT_STATUS (*FT_Close_t)(FT_HANDLE);
typedef FT_STATUS (*FT_ResetDevice_t)(FT_HANDLE);
typedef FT_STATUS (*FT_SetBaudRate_t)(FT_HANDLE, ULONG);
typedef FT_STATUS (*FT_SetDataCharacteristics_t)(FT_HANDLE, UCHAR, UCHAR, UCHAR);
typedef FT_STATUS (*FT_SetTimeouts_t)(FT_HANDLE, ULONG, ULONG);
typedef FT_STATUS (*FT_SetLatencyTimer_t)(FT_HANDLE, UCHAR);
typedef FT_STATUS (*FT_Purge_t)(FT_HANDLE, ULONG);
typedef FT_STATUS (*FT_Write_t)(FT_HANDLE, LPVOID, DWORD, LPDWORD);
typedef FT_STATUS (*FT_Read_t)(FT_HANDLE, LPVOID, DWORD, LPDWORD);
}

static_assert(sizeof(DWORD) == 4 && sizeof(FT_HANDLE) == 8, "64-bit Linux layout expected");
static_assert(offsetof(FT_DEVICE_LIST_INFO_NODE, SerialNumber) == 16);
static_assert(offsetof(FT_DEVICE_LIST_INFO_NODE, Description) == 32);
static_assert(offsetof(FT_DEVICE_LIST_INFO_NODE, ftHandle) == 96);
static_assert(sizeof(FT_DEVICE_LIST_INFO_NODE) == 104);
