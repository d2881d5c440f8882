// The USB surface of the simulated board: an FT232H-class FIFO chip in front of the board model,
// as the host's USB stack sees it. Vendor control requests (reset, purge, latency timer, bit
// mode, modem status, ...), bulk OUT carrying the board's command bytes, and bulk IN answered in
// packets that each begin with the chip's two modem-status bytes, once a buffer's worth is there
// or the latency timer has run out.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "boardsim/board.h"
#include "platform/clock.h"

namespace kaptor::boardsim {

constexpr std::uint16_t USB_VENDOR = 0x0403;
constexpr std::uint16_t USB_PRODUCT = 0x6014;  // FT232H, here in its 245 FIFO mode
constexpr std::size_t USB_PACKET = 512;        // high speed bulk packets

// The setup packet of a control transfer.
struct UsbSetup {
    std::uint8_t requestType = 0;
    std::uint8_t request = 0;
    std::uint16_t value = 0;
    std::uint16_t index = 0;
    std::uint16_t length = 0;
};

// The device's strings, by their descriptor index.
struct UsbStrings {
    std::string manufacturer = "LUMENFRAME";
    std::string product;
    std::string serial;
};

class UsbSurface {
  public:
    UsbSurface(Board& board, platform::Clock& clock, UsbStrings strings);

    // The device, configuration, interface and endpoint descriptors, as sysfs holds them.
    std::vector<std::uint8_t> descriptors() const;

    // A control transfer: the bytes answered for an IN request (at most setup.length), an empty
    // answer for an OUT request; nothing when the chip stalls it.
    std::optional<std::vector<std::uint8_t>> control(const UsbSetup& setup,
                                                     const std::vector<std::uint8_t>& data);
    // A bulk OUT transfer; false when the bus refuses it (the write-zero-at fault).
    bool bulkOut(const std::uint8_t* bytes, std::size_t count);
    // A bulk IN transfer of up to capacity bytes, submitted at submittedMicros: the packets,
    // once they are due; nothing while the chip still waits for data or its latency timer.
    std::optional<std::vector<std::uint8_t>> bulkIn(std::size_t capacity,
                                                    std::int64_t submittedMicros);
    // The board went away (disconnect-at): every request fails.
    bool gone() const { return board_.disconnected(); }

  private:
    std::vector<std::uint8_t> stringDescriptor(std::uint8_t index) const;

    Board& board_;
    platform::Clock& clock_;
    UsbStrings strings_;
    std::uint8_t latencyMs_ = 16;
    std::uint64_t bulkOuts_ = 0;
};

}  // namespace kaptor::boardsim
