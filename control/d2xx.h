// The D2XX library as the link uses it: the handle, status and count types, the constants, and
// the shapes of the ten functions looked up by name. Written from what the link needs.
#pragma once

#include <cstdint>

namespace kaptor::d2xx {

using FT_HANDLE = void*;
using FT_STATUS = std::uint32_t;
using DWORD = std::uint32_t;

constexpr FT_STATUS FT_OK = 0;
constexpr FT_STATUS FT_INVALID_HANDLE = 1;
constexpr FT_STATUS FT_DEVICE_NOT_FOUND = 2;
constexpr FT_STATUS FT_DEVICE_NOT_OPENED = 3;
constexpr FT_STATUS FT_IO_ERROR = 4;
constexpr FT_STATUS FT_INVALID_PARAMETER = 6;

constexpr DWORD FT_OPEN_BY_DESCRIPTION = 2;
constexpr DWORD FT_LIST_NUMBER_ONLY = 0x80000000u;
constexpr DWORD FT_LIST_BY_INDEX = 0x40000000u;
constexpr DWORD FT_PURGE_RX = 1;

// The D2XX library uses the Windows API calling convention (__stdcall), which differs from the
// C one only on 32-bit Windows.
#if defined(_WIN32) && !defined(_WIN64)
#define D2XX_API __stdcall
#else
#define D2XX_API
#endif

extern "C" {
using FT_Open_t = FT_STATUS(D2XX_API*)(int deviceNumber, FT_HANDLE* handle);
using FT_OpenEx_t = FT_STATUS(D2XX_API*)(void* arg, DWORD flags, FT_HANDLE* handle);
using FT_ListDevices_t = FT_STATUS(D2XX_API*)(void* arg1, void* arg2, DWORD flags);
using FT_Close_t = FT_STATUS(D2XX_API*)(FT_HANDLE handle);
using FT_Read_t = FT_STATUS(D2XX_API*)(FT_HANDLE handle, void* buffer, DWORD count,
                                       DWORD* received);
using FT_Write_t = FT_STATUS(D2XX_API*)(FT_HANDLE handle, void* buffer, DWORD count,
                                        DWORD* written);
using FT_ResetDevice_t = FT_STATUS(D2XX_API*)(FT_HANDLE handle);
using FT_Purge_t = FT_STATUS(D2XX_API*)(FT_HANDLE handle, DWORD mask);
using FT_SetTimeouts_t = FT_STATUS(D2XX_API*)(FT_HANDLE handle, DWORD readTimeout,
                                              DWORD writeTimeout);
using FT_GetQueueStatus_t = FT_STATUS(D2XX_API*)(FT_HANDLE handle, DWORD* queued);
}

}  // namespace kaptor::d2xx
