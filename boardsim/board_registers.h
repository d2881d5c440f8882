// The board's side of the command protocol: the byte stream written to it cut into frames by
// letter and fixed length, and the registers those frames set.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace kaptor::boardsim {

struct BoardRegisters {
    std::uint32_t activePixels = 640;        // 'B', 10 bits
    std::uint32_t horizontalPosition = 120;  // 'C'
    std::uint32_t activeLines = 496;         // 'D', lines per frame, 10 bits
    std::uint32_t verticalPosition = 20;     // 'E'
    std::uint32_t pllTotal = 800;            // 'F', 11 bits
    std::uint8_t control = 0x40;             // 'G': bit 6 interlaced, bit 7 pixel interleave
    // 'H': the analog front end's registers by number.
    std::array<std::uint8_t, 32> frontEnd{};

    bool interlaced() const { return (control & 0x40) != 0; }
    std::uint8_t gain() const { return frontEnd[7]; }
    std::uint8_t offset() const { return frontEnd[10]; }
    std::uint8_t inputConfig() const { return frontEnd[5]; }

    bool operator==(const BoardRegisters&) const = default;
};

// Collects bytes into frames; a frame split across writes is joined.
class CommandParser {
  public:
    // Called with each complete frame (letter first); unknown letters go to onUnknown.
    CommandParser(std::function<void(const std::vector<std::uint8_t>&)> onFrame,
                  std::function<void(std::uint8_t)> onUnknown);
    void feed(const std::uint8_t* bytes, std::size_t count);

  private:
    std::vector<std::uint8_t> pending_;
    std::function<void(const std::vector<std::uint8_t>&)> onFrame_;
    std::function<void(std::uint8_t)> onUnknown_;
};

// Applies a register frame ('B' to 'H'); 'A' is the board's, not a register.
void applyFrame(BoardRegisters& registers, const std::vector<std::uint8_t>& frame);

std::string describeRegisters(const BoardRegisters& registers);

}  // namespace kaptor::boardsim
