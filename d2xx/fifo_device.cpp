#include "d2xx/fifo_device.h"

#include <algorithm>
#include <array>
#include <chrono>

namespace kaptor::usbd2xx {
namespace {

// The most the reader fetches at once: what libftdi reads in one bulk transfer.
constexpr std::size_t FETCH_BYTES = 16384;
// How often a reader waiting for room looks whether it should stop.
constexpr std::chrono::milliseconds ROOM_POLL{50};

}  // namespace

FifoDevice::FifoDevice(std::unique_ptr<UsbFifo> fifo, std::size_t bufferBytes)
    : fifo_(std::move(fifo)),
      buffer_(bufferBytes),
      reader_([this](const std::stop_token& stop) { readLoop(stop); }) {}

FifoDevice::~FifoDevice() {
    reader_.request_stop();
    buffer_.close();
    if (reader_.joinable()) {
        reader_.join();
    }
}

void FifoDevice::readLoop(const std::stop_token& stop) {
    std::array<std::uint8_t, FETCH_BYTES> chunk{};
    while (!stop.stop_requested()) {
        if (!buffer_.waitForRoom(ROOM_POLL)) {
            continue;
        }
        if (chipWanted_.load() > 0) {
            // A purge or reset is waiting: let it have the chip first.
            std::this_thread::yield();
            continue;
        }
        int n = 0;
        {
            const std::lock_guard lock(chip_);
            // Never more than fits: what the chip keeps, it keeps until there is room.
            n = fifo_->read(chunk.data(), std::min(chunk.size(), buffer_.room()));
            if (n > 0) {
                buffer_.append(chunk.data(), static_cast<std::size_t>(n));
            }
        }
        if (n < 0) {
            buffer_.markGone();
            return;
        }
    }
}

std::unique_lock<std::mutex> FifoDevice::holdChip() {
    ++chipWanted_;
    std::unique_lock lock(chip_);
    --chipWanted_;
    return lock;
}

FT_STATUS FifoDevice::read(std::uint8_t* out, DWORD count, DWORD& received) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(readTimeoutMs_.load());
    std::size_t taken = 0;
    // A read larger than the buffer takes it a buffer's worth at a time, within one time-out.
    while (taken < count) {
        const std::size_t want = std::min<std::size_t>(count - taken, buffer_.capacity());
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(
            std::max(deadline - Clock::now(), Clock::duration::zero()));
        const std::size_t n = buffer_.take(out + taken, want, left);
        taken += n;
        if (n < want) {
            break;
        }
    }
    received = static_cast<DWORD>(taken);
    // A device that went away still hands out what came before, with the failure.
    return buffer_.gone() ? d2xx::FT_IO_ERROR : d2xx::FT_OK;
}

FT_STATUS FifoDevice::write(const std::uint8_t* bytes, DWORD count, DWORD& written) {
    written = 0;
    if (buffer_.gone()) {
        return d2xx::FT_IO_ERROR;
    }
    const int n = fifo_->write(bytes, count, writeTimeoutMs_.load());
    if (n < 0) {
        return d2xx::FT_IO_ERROR;
    }
    written = static_cast<DWORD>(n);
    return d2xx::FT_OK;
}

FT_STATUS FifoDevice::queueStatus(DWORD& queued) {
    queued = 0;
    if (buffer_.gone()) {
        return d2xx::FT_IO_ERROR;
    }
    queued = static_cast<DWORD>(buffer_.queued());
    return d2xx::FT_OK;
}

FT_STATUS FifoDevice::purge(DWORD mask) {
    if (buffer_.gone()) {
        return d2xx::FT_IO_ERROR;
    }
    const auto lock = holdChip();
    bool done = true;
    if ((mask & d2xx::FT_PURGE_RX) != 0) {
        done = fifo_->purgeReceive() && done;
        buffer_.clear();
    }
    if ((mask & PURGE_TX) != 0) {
        done = fifo_->purgeTransmit() && done;
    }
    return done ? d2xx::FT_OK : d2xx::FT_IO_ERROR;
}

FT_STATUS FifoDevice::reset() {
    if (buffer_.gone()) {
        return d2xx::FT_IO_ERROR;
    }
    const auto lock = holdChip();
    const bool done = fifo_->reset();
    // What was received before the reset is dropped, as the vendor's driver does.
    buffer_.clear();
    return done ? d2xx::FT_OK : d2xx::FT_IO_ERROR;
}

FT_STATUS FifoDevice::setTimeouts(DWORD readTimeoutMs, DWORD writeTimeoutMs) {
    readTimeoutMs_ = readTimeoutMs;
    writeTimeoutMs_ = writeTimeoutMs;
    return d2xx::FT_OK;
}

}  // namespace kaptor::usbd2xx
