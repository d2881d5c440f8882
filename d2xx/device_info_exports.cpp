// The vendor's device information list, which only this library of ours exports (kaptor devices
// uses it where it is there): FT_CreateDeviceInfoList and FT_GetDeviceInfoDetail.
#include "d2xx/d2xx_functions.h"

#define KAPTOR_D2XX_EXPORT extern "C" __attribute__((visibility("default")))

using kaptor::d2xx::DWORD;
using kaptor::d2xx::FT_HANDLE;
using kaptor::d2xx::FT_STATUS;
namespace abi = kaptor::usbd2xx::abi;

KAPTOR_D2XX_EXPORT FT_STATUS FT_CreateDeviceInfoList(DWORD* count) {
    return abi::createDeviceInfoList(count);
}

KAPTOR_D2XX_EXPORT FT_STATUS FT_GetDeviceInfoDetail(DWORD index, DWORD* flags, DWORD* type,
                                                    DWORD* id, DWORD* locId, void* serial,
                                                    void* description, FT_HANDLE* handle) {
    return abi::getDeviceInfoDetail(index, flags, type, id, locId, serial, description, handle);
}
