// One open device of the driver library: the chip behind its seam, the receive buffer that a
// background reader fills from the moment the device opens, and the D2XX operations on them as
// the vendor's driver answers them.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

#include "control/d2xx.h"
#include "d2xx/receive_buffer.h"
#include "d2xx/usb_fifo.h"

namespace kaptor::usbd2xx {

using d2xx::DWORD;
using d2xx::FT_STATUS;

constexpr std::size_t DEFAULT_RECEIVE_BUFFER = 65536;
// Until FT_SetTimeouts, a read still ends: after this long.
constexpr DWORD DEFAULT_TIMEOUT_MS = 1000;
constexpr DWORD PURGE_TX = 2;

class FifoDevice {
  public:
    explicit FifoDevice(std::unique_ptr<UsbFifo> fifo,
                        std::size_t bufferBytes = DEFAULT_RECEIVE_BUFFER);
    // Stops the reader before the chip goes.
    ~FifoDevice();
    FifoDevice(const FifoDevice&) = delete;
    FifoDevice& operator=(const FifoDevice&) = delete;

    FT_STATUS read(std::uint8_t* out, DWORD count, DWORD& received);
    FT_STATUS write(const std::uint8_t* bytes, DWORD count, DWORD& written);
    FT_STATUS queueStatus(DWORD& queued);
    FT_STATUS purge(DWORD mask);
    FT_STATUS reset();
    FT_STATUS setTimeouts(DWORD readTimeoutMs, DWORD writeTimeoutMs);

  private:
    void readLoop(const std::stop_token& stop);
    // Holds the chip for a purge or reset: the reader lets go between its fetches.
    std::unique_lock<std::mutex> holdChip();

    std::unique_ptr<UsbFifo> fifo_;
    ReceiveBuffer buffer_;
    std::mutex chip_;                 // one fetch, purge or reset at a time
    std::atomic<int> chipWanted_{0};  // purges and resets waiting for the chip
    std::atomic<DWORD> readTimeoutMs_{DEFAULT_TIMEOUT_MS};
    std::atomic<DWORD> writeTimeoutMs_{DEFAULT_TIMEOUT_MS};
    std::jthread reader_;  // last: it starts once everything else is there
};

}  // namespace kaptor::usbd2xx
