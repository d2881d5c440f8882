// The FIFO chip as the driver library sees it: reads of what the chip has received, writes, its
// purge and reset requests. The library's device logic works on this seam; libftdi stands behind
// it for a real board, a scripted source in the tests.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kaptor::usbd2xx {

class UsbFifo {
  public:
    virtual ~UsbFifo() = default;
    // Up to max bytes the chip holds, waiting at most a short while (the chip's latency); the
    // count read, 0 when nothing came, negative when the device failed or is gone.
    virtual int read(std::uint8_t* out, std::size_t max) = 0;
    // The count written, negative when the bus refused the transfer or the device is gone.
    virtual int write(const std::uint8_t* bytes, std::size_t count, unsigned timeoutMs) = 0;
    // Empties the chip's receive FIFO (what it holds for the host, and any of it already fetched
    // but not yet handed out), and its transmit FIFO; false when the request failed.
    virtual bool purgeReceive() = 0;
    virtual bool purgeTransmit() = 0;
    // Resets the chip's serial engine; false when the request failed.
    virtual bool reset() = 0;
};

}  // namespace kaptor::usbd2xx
