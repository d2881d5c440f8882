#include "control/usb_link.h"

#include <algorithm>
#include <string>

#include "control/messages.h"

namespace kaptor::control {

using d2xx::DWORD;
using d2xx::FT_STATUS;

UsbLink::UsbLink(platform::LibraryLoader& libraries, platform::Operator& person,
                 platform::ProcessExit& processExit)
    : libraries_(libraries), operator_(person), processExit_(processExit) {}

UsbLink::~UsbLink() {
    // Quietly: a control that goes away shows no message.
    if (open_ && slots_.close != nullptr) {
        slots_.close(deviceHandle_);
    }
}

void UsbLink::bindLibrary() {
    libraryHandle_ = libraries_.load("Ftd2xx.dll");
    if (libraryHandle_ == nullptr) {
        operator_.messageBox(msg::LIBRARY_MISSING);
        return;
    }
    // Each slot takes its lookup at once, even an empty one; the first missing name stops the
    // binding and leaves the later slots as they were.
    const auto bind = [this](const char* name, auto& slot) {
        slot = reinterpret_cast<std::remove_reference_t<decltype(slot)>>(
            libraries_.symbol(libraryHandle_, name));
        if (slot == nullptr) {
            operator_.messageBox(std::string("Error: Can't Find ") + name);
            return false;
        }
        return true;
    };
    bind("FT_Write", slots_.write) && bind("FT_Read", slots_.read) &&
        bind("FT_Open", slots_.open) && bind("FT_OpenEx", slots_.openEx) &&
        bind("FT_ListDevices", slots_.listDevices) && bind("FT_Close", slots_.close) &&
        bind("FT_ResetDevice", slots_.resetDevice) && bind("FT_Purge", slots_.purge) &&
        bind("FT_SetTimeouts", slots_.setTimeouts) &&
        bind("FT_GetQueueStatus", slots_.getQueueStatus);
}

FT_STATUS UsbLink::openByDescription() {
    return ftOpenEx(DEVICE_DESCRIPTION, d2xx::FT_OPEN_BY_DESCRIPTION);
}

void UsbLink::openLink() {
    // A link that is open already gives up its handle first, so opening again neither leaks
    // the handle nor meets a driver that refuses a second open of the same device.
    if (open_) {
        closeDevice();
    }
    bindLibrary();
    if (openByDescription() != d2xx::FT_OK) {
        operator_.messageBox(msg::OPEN_FAILED);
        processExit_.exit(1);
    }
    ftResetDevice();
    ftSetTimeouts(OPEN_TIMEOUT_MS, OPEN_TIMEOUT_MS);
    ftPurge(d2xx::FT_PURGE_RX);
    std::uint8_t announce = 0;
    DWORD received = 0;
    ftRead(&announce, 1, received);
    if (received == 0) {
        ftRead(&announce, 1, received);
    }
    open_ = true;
    ftSetTimeouts(RUN_TIMEOUT_MS, RUN_TIMEOUT_MS);
}

void UsbLink::sendCommand(const CommandFrame& frame) {
    std::copy_n(frame.bytes.begin(), frame.length, commandFrame_.begin());
    DWORD written = frame.length;
    ftWrite(commandFrame_.data(), frame.length, written);
    if (written == 0) {
        operator_.messageBox(msg::WRITE_FAILED_PROGRAMMING);
        processExit_.exit(1);
    }
}

DWORD UsbLink::sendCapture() {
    commandFrame_[0] = CMD_CAPTURE;
    DWORD written = 1;
    ftWrite(commandFrame_.data(), 1, written);
    return written;
}

void UsbLink::closeDevice() {
    ftClose();
    open_ = false;
}

FT_STATUS UsbLink::notValid(const char* name) {
    operator_.messageBox(std::string(name) + " is not valid!");
    return UNBOUND_STATUS;
}

FT_STATUS UsbLink::ftOpenEx(const char* description, DWORD flags) {
    if (slots_.openEx == nullptr) {
        return notValid("FT_OpenEx");
    }
    return slots_.openEx(const_cast<char*>(description), flags, &deviceHandle_);
}

FT_STATUS UsbLink::ftResetDevice() {
    return slots_.resetDevice == nullptr ? notValid("FT_ResetDevice")
                                         : slots_.resetDevice(deviceHandle_);
}

FT_STATUS UsbLink::ftSetTimeouts(DWORD readTimeout, DWORD writeTimeout) {
    return slots_.setTimeouts == nullptr
               ? notValid("FT_SetTimeouts")
               : slots_.setTimeouts(deviceHandle_, readTimeout, writeTimeout);
}

FT_STATUS UsbLink::ftPurge(DWORD mask) {
    return slots_.purge == nullptr ? notValid("FT_Purge") : slots_.purge(deviceHandle_, mask);
}

FT_STATUS UsbLink::ftRead(std::uint8_t* buffer, DWORD count, DWORD& received) {
    return slots_.read == nullptr ? notValid("FT_Read")
                                  : slots_.read(deviceHandle_, buffer, count, &received);
}

FT_STATUS UsbLink::ftWrite(const std::uint8_t* buffer, DWORD count, DWORD& written) {
    // The library's signature takes a non-const buffer; it only reads from it.
    return slots_.write == nullptr
               ? notValid("FT_Write")
               : slots_.write(deviceHandle_, const_cast<std::uint8_t*>(buffer), count, &written);
}

FT_STATUS UsbLink::ftGetQueueStatus(DWORD& queued) {
    return slots_.getQueueStatus == nullptr ? notValid("FT_GetQueueStatus")
                                            : slots_.getQueueStatus(deviceHandle_, &queued);
}

FT_STATUS UsbLink::ftClose() {
    return slots_.close == nullptr ? notValid("FT_Close") : slots_.close(deviceHandle_);
}

}  // namespace kaptor::control
