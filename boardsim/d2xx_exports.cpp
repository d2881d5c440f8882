// The C entry points of a D2XX library of ours, named as the D2XX library names them: the
// simulated board's, or (built with D2XX_FUNCTIONS_HEADER and D2XX_FUNCTIONS naming another
// set of the ten functions) the one over libftdi. A variant built with BOARDSIM_OMIT_<function>
// lacks that one function, as an old or broken library would.
#ifdef D2XX_FUNCTIONS_HEADER
#include D2XX_FUNCTIONS_HEADER
#else
#include "boardsim/d2xx_functions.h"
#define D2XX_FUNCTIONS kaptor::boardsim::abi
#endif

#define BOARDSIM_API extern "C" __attribute__((visibility("default")))

using kaptor::d2xx::DWORD;
using kaptor::d2xx::FT_HANDLE;
using kaptor::d2xx::FT_STATUS;
namespace abi = D2XX_FUNCTIONS;

#ifndef BOARDSIM_OMIT_FT_Open
BOARDSIM_API FT_STATUS D2XX_API FT_Open(int index, FT_HANDLE* handle) {
    return abi::open(index, handle);
}
#endif
#ifndef BOARDSIM_OMIT_FT_OpenEx
BOARDSIM_API FT_STATUS D2XX_API FT_OpenEx(void* arg, DWORD flags, FT_HANDLE* handle) {
    return abi::openEx(arg, flags, handle);
}
#endif
#ifndef BOARDSIM_OMIT_FT_ListDevices
BOARDSIM_API FT_STATUS D2XX_API FT_ListDevices(void* arg1, void* arg2, DWORD flags) {
    return abi::listDevices(arg1, arg2, flags);
}
#endif
#ifndef BOARDSIM_OMIT_FT_Close
BOARDSIM_API FT_STATUS D2XX_API FT_Close(FT_HANDLE handle) {
    return abi::close(handle);
}
#endif
#ifndef BOARDSIM_OMIT_FT_Read
BOARDSIM_API FT_STATUS D2XX_API FT_Read(FT_HANDLE handle, void* buffer, DWORD count,
                                        DWORD* received) {
    return abi::read(handle, buffer, count, received);
}
#endif
#ifndef BOARDSIM_OMIT_FT_Write
BOARDSIM_API FT_STATUS D2XX_API FT_Write(FT_HANDLE handle, void* buffer, DWORD count,
                                         DWORD* written) {
    return abi::write(handle, buffer, count, written);
}
#endif
#ifndef BOARDSIM_OMIT_FT_ResetDevice
BOARDSIM_API FT_STATUS D2XX_API FT_ResetDevice(FT_HANDLE handle) {
    return abi::resetDevice(handle);
}
#endif
#ifndef BOARDSIM_OMIT_FT_Purge
BOARDSIM_API FT_STATUS D2XX_API FT_Purge(FT_HANDLE handle, DWORD mask) {
    return abi::purge(handle, mask);
}
#endif
#ifndef BOARDSIM_OMIT_FT_SetTimeouts
BOARDSIM_API FT_STATUS D2XX_API FT_SetTimeouts(FT_HANDLE handle, DWORD readTimeout,
                                               DWORD writeTimeout) {
    return abi::setTimeouts(handle, readTimeout, writeTimeout);
}
#endif
#ifndef BOARDSIM_OMIT_FT_GetQueueStatus
BOARDSIM_API FT_STATUS D2XX_API FT_GetQueueStatus(FT_HANDLE handle, DWORD* queued) {
    return abi::getQueueStatus(handle, queued);
}
#endif
