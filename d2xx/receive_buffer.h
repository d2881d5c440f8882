// The driver's receive buffer between the background reader and FT_Read: a fixed capacity that
// the reader never goes past (a full buffer stops reading, so the chip's flow control holds the
// board and no byte is lost), waits for bytes with a time-out, and a flag for a device that is
// gone, which ends every wait at once.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>

#include "platform/byte_ring.h"

namespace kaptor::usbd2xx {

class ReceiveBuffer {
  public:
    explicit ReceiveBuffer(std::size_t capacity) : capacity_(capacity) {}

    std::size_t capacity() const { return capacity_; }
    std::size_t queued() const;
    std::size_t room() const;
    // Adds bytes the reader fetched; never more than room() (the reader asks for no more).
    void append(const std::uint8_t* bytes, std::size_t count);
    // Waits until count bytes are buffered, the device is gone or timeout has passed, then takes
    // up to count bytes into out; returns how many.
    std::size_t take(std::uint8_t* out, std::size_t count, std::chrono::milliseconds timeout);
    // Waits until there is room for a byte, or the buffer is closed, or timeout; true when
    // there is room.
    bool waitForRoom(std::chrono::milliseconds timeout);
    void clear();

    // The device went away: waits end, what is buffered can still be taken.
    void markGone();
    bool gone() const;
    // Ends the reader's wait for room, for closing.
    void close();

  private:
    const std::size_t capacity_;
    mutable std::mutex mutex_;
    std::condition_variable arrived_;
    std::condition_variable drained_;
    platform::ByteRing bytes_;
    bool gone_ = false;
    bool closed_ = false;
};

}  // namespace kaptor::usbd2xx
