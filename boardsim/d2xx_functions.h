// The ten D2XX functions of the simulated board, and which Board they reach. A process has one
// such board behind the C functions: in the shared library it is made from the environment on
// first use; a test installs its own for as long as it needs it.
#pragma once

#include <map>
#include <string>

#include "boardsim/board.h"

namespace kaptor::boardsim {

// Makes board the target of the D2XX functions until the guard goes.
class ScopedActiveBoard {
  public:
    explicit ScopedActiveBoard(Board& board);
    ~ScopedActiveBoard();
    ScopedActiveBoard(const ScopedActiveBoard&) = delete;
    ScopedActiveBoard& operator=(const ScopedActiveBoard&) = delete;

  private:
    Board* previous_;
};

// The functions by their D2XX names, for an in-process library table.
std::map<std::string, void*> d2xxFunctionTable();

namespace abi {
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

}  // namespace kaptor::boardsim
