// The run-time binding of the D2XX library, the device handle and the open flag: the binding,
// the open sequence, one wrapper per library function the control calls, and the board's
// command frames and capture byte.
#pragma once

#include <array>
#include <cstdint>

#include "control/board_commands.h"
#include "control/d2xx.h"
#include "platform/library_loader.h"
#include "platform/operator.h"
#include "platform/process_exit.h"

namespace kaptor::control {

constexpr const char* DEVICE_DESCRIPTION = "LUMENFRAME USB 1.0";
constexpr d2xx::DWORD OPEN_TIMEOUT_MS = 3000;
constexpr d2xx::DWORD RUN_TIMEOUT_MS = 300;
// What a wrapper returns when its function is not bound.
constexpr d2xx::FT_STATUS UNBOUND_STATUS = 1;

class UsbLink {
  public:
    UsbLink(platform::LibraryLoader& libraries, platform::Operator& person,
            platform::ProcessExit& processExit);
    // Closes the device when the link is open, so another control of the same process can open
    // it; the library stays loaded (its functions may still be bound elsewhere).
    ~UsbLink();
    UsbLink(const UsbLink&) = delete;
    UsbLink& operator=(const UsbLink&) = delete;

    void bindLibrary();
    d2xx::FT_STATUS openByDescription();
    // Returns only with the device open; otherwise the process has ended.
    void openLink();
    // Writes the frame's own bytes; ends the process when none went out.
    void sendCommand(const CommandFrame& frame);
    // Writes the one-byte capture command and returns how many bytes went out; an unbound
    // FT_Write reports its message and counts as written, so the capture goes on.
    d2xx::DWORD sendCapture();
    // Gives the device back after the driver stopped answering for it.
    void closeDevice();
    bool isOpen() const { return open_; }

    d2xx::FT_STATUS ftOpenEx(const char* description, d2xx::DWORD flags);
    d2xx::FT_STATUS ftResetDevice();
    d2xx::FT_STATUS ftSetTimeouts(d2xx::DWORD readTimeout, d2xx::DWORD writeTimeout);
    d2xx::FT_STATUS ftPurge(d2xx::DWORD mask);
    d2xx::FT_STATUS ftRead(std::uint8_t* buffer, d2xx::DWORD count, d2xx::DWORD& received);
    d2xx::FT_STATUS ftWrite(const std::uint8_t* buffer, d2xx::DWORD count, d2xx::DWORD& written);
    d2xx::FT_STATUS ftGetQueueStatus(d2xx::DWORD& queued);
    d2xx::FT_STATUS ftClose();

  private:
    struct Slots {
        d2xx::FT_Open_t open = nullptr;
        d2xx::FT_OpenEx_t openEx = nullptr;
        d2xx::FT_ListDevices_t listDevices = nullptr;
        d2xx::FT_Close_t close = nullptr;
        d2xx::FT_Read_t read = nullptr;
        d2xx::FT_Write_t write = nullptr;
        d2xx::FT_ResetDevice_t resetDevice = nullptr;
        d2xx::FT_Purge_t purge = nullptr;
        d2xx::FT_SetTimeouts_t setTimeouts = nullptr;
        d2xx::FT_GetQueueStatus_t getQueueStatus = nullptr;
    };

    // Shows "<name> is not valid!" and gives the unbound status.
    d2xx::FT_STATUS notValid(const char* name);

    platform::LibraryLoader& libraries_;
    platform::Operator& operator_;
    platform::ProcessExit& processExit_;

    platform::LibraryHandle libraryHandle_ = nullptr;
    d2xx::FT_HANDLE deviceHandle_ = nullptr;
    Slots slots_;
    bool open_ = false;
    // Output buffer of the board's command frames; writes start at its first byte, and a
    // shorter frame leaves the bytes after its own as they were.
    std::array<std::uint8_t, 3> commandFrame_{};
};

}  // namespace kaptor::control
