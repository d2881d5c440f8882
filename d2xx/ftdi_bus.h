// The FIFO boards on the USB bus, through libftdi: which are attached (the chip maker's vendor id
// and the product ids of the chips that have a FIFO mode), their strings, and opening one as a
// UsbFifo. Each call looks at the bus afresh.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "d2xx/usb_fifo.h"

namespace kaptor::usbd2xx {

constexpr std::uint16_t FTDI_VENDOR = 0x0403;
// FT245R and FT245BM (0x6001), FT2232 in its FIFO mode (0x6010), FT232H (0x6014), FT240X
// (0x6015). The FT4232H (0x6011) has no FIFO mode.
constexpr std::uint16_t FIFO_PRODUCTS[] = {0x6001, 0x6010, 0x6014, 0x6015};

struct BoardOnBus {
    std::string description;  // the USB product string
    std::string serial;
    int bus = 0;
    int address = 0;
    std::uint16_t product = 0;
};

// The attached boards, ordered by bus and address; nothing when the bus cannot be read.
std::vector<BoardOnBus> findBoards();

// Whether another program holds the board: its interface cannot be claimed. The kernel's serial
// driver does not count: it is set aside for the look and given the board back.
bool heldElsewhere(const BoardOnBus& board);

enum class OpenOutcome { Opened, NotFound, Busy, Failed };

// Opens the board at that bus and address; the outcome says why not.
std::unique_ptr<UsbFifo> openBoard(const BoardOnBus& board, OpenOutcome& outcome);

}  // namespace kaptor::usbd2xx
