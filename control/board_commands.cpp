#include "control/board_commands.h"

namespace kaptor::control {
namespace {

std::uint8_t low(std::int32_t value) {
    return static_cast<std::uint8_t>(value & 0xFF);
}

}  // namespace

void updateRegisterImage(RegisterImage& r, const BoardSettings& s) {
    // Lines per frame, wrapped to 32 bits; only the low 10 bits reach the board.
    const auto lines = static_cast<std::int32_t>(frameLinesOf(s));
    r.regInputConfig = s.inputConfig;
    r.regOffset = static_cast<std::int32_t>(s.offset);
    r.regGain = static_cast<std::int32_t>(s.gain);
    r.regControl = s.interlaced == 1 ? (r.regControl | CONTROL_INTERLACED)
                                     : (r.regControl & ~CONTROL_INTERLACED);
    r.regControl = s.pixelInterleave == 1 ? (r.regControl | CONTROL_PIXEL_INTERLEAVE)
                                          : (r.regControl & ~CONTROL_PIXEL_INTERLEAVE);
    r.regPllLow = s.pllPixelTotal & 0xFF;
    r.regPllHigh = (s.pllPixelTotal >> 8) & 7;
    r.regVerticalPosition = s.verticalPosition;
    r.regLinesLow = lines & 0xFF;
    r.regLinesHigh = (lines >> 8) & 3;
    r.regHorizontalPosition = s.horizontalPosition;
    r.regPixelsLow = s.pixelsPerLine & 0xFF;
    r.regPixelsHigh = (s.pixelsPerLine >> 8) & 3;
}

std::array<CommandFrame, 11> programmingSequence(const RegisterImage& r) {
    const auto three = [](std::uint8_t letter, std::int32_t a, std::int32_t b) {
        return CommandFrame{{letter, low(a), low(b)}, 3};
    };
    const auto two = [](std::uint8_t letter, std::int32_t a) {
        return CommandFrame{{letter, low(a), 0}, 2};
    };
    return {
        three(CMD_ACTIVE_PIXELS, r.regPixelsHigh, r.regPixelsLow),
        two(CMD_HORIZONTAL_POSITION, r.regHorizontalPosition),
        three(CMD_ACTIVE_LINES, r.regLinesHigh, r.regLinesLow),
        two(CMD_VERTICAL_POSITION, r.regVerticalPosition),
        three(CMD_PLL_TOTAL, r.regPllHigh, r.regPllLow),
        two(CMD_CONTROL, r.regControl),
        three(CMD_FRONTEND_REGISTER, r.regGain, REG_GAIN),
        three(CMD_FRONTEND_REGISTER, r.regOffset, REG_OFFSET),
        three(CMD_FRONTEND_REGISTER, r.regInputConfig, REG_INPUT_CONFIG),
        three(CMD_FRONTEND_REGISTER, REG_FIXED_A_VALUE, REG_FIXED_A),
        three(CMD_FRONTEND_REGISTER, REG_FIXED_B_VALUE, REG_FIXED_B),
    };
}

}  // namespace kaptor::control
