// The ten D2XX functions of the driver library over libftdi, as the C entry points call them.
// The open devices are held here, by handle, because the D2XX calls carry no other context.
#pragma once

#include "control/d2xx.h"

namespace kaptor::usbd2xx {

using d2xx::DWORD;
using d2xx::FT_HANDLE;
using d2xx::FT_STATUS;

constexpr DWORD FT_OPEN_BY_SERIAL_NUMBER = 1;
constexpr DWORD FT_LIST_ALL = 0x20000000u;
// The board to open by description when several match: its serial number.
constexpr const char* DEVICE_VARIABLE = "KAPTOR_DEVICE";

// The vendor's device information list, as far as kaptor devices needs it: Flags bit 0 when
// the board is open (here or in another program), ID the vendor and product ids, LocId the USB
// bus number in the high 16 bits and the device address in the low ones.
constexpr DWORD FT_FLAGS_OPENED = 1;
constexpr DWORD FT_DEVICE_232H = 8;

namespace abi {
FT_STATUS D2XX_API createDeviceInfoList(DWORD* count);
FT_STATUS D2XX_API getDeviceInfoDetail(DWORD index, DWORD* flags, DWORD* type, DWORD* id,
                                       DWORD* locId, void* serial, void* description,
                                       FT_HANDLE* handle);
FT_STATUS D2XX_API open(int index, FT_HANDLE* handle);
FT_STATUS D2XX_API openEx(void* arg, DWORD flags, FT_HANDLE* handle);
FT_STATUS D2XX_API listDevices(void* arg1, void* arg2, DWORD flags);
FT_STATUS D2XX_API close(FT_HANDLE handle);
FT_STATUS D2XX_API read(FT_HANDLE handle, void* buffer, DWORD count, DWORD* received);
FT_STATUS D2XX_API write(FT_HANDLE handle, void* buffer, DWORD count, DWORD* written);
FT_STATUS D2XX_API resetDevice(FT_HANDLE handle);
FT_STATUS D2XX_API purge(FT_HANDLE handle, DWORD mask);
FT_STATUS D2XX_API setTimeouts(FT_HANDLE handle, DWORD readTimeout, DWORD writeTimeout);
FT_STATUS D2XX_API getQueueStatus(FT_HANDLE handle, DWORD* queued);
}  // namespace abi

}  // namespace kaptor::usbd2xx
