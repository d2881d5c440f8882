// The board's command letters, its front-end registers, and the eleven-frame sequence that
// programs them from the settings.
#pragma once

#include <array>
#include <cstdint>

#include "control/board_settings.h"

namespace kaptor::control {

constexpr std::uint8_t CMD_CAPTURE = 'A';
constexpr std::uint8_t CMD_ACTIVE_PIXELS = 'B';
constexpr std::uint8_t CMD_HORIZONTAL_POSITION = 'C';
constexpr std::uint8_t CMD_ACTIVE_LINES = 'D';
constexpr std::uint8_t CMD_VERTICAL_POSITION = 'E';
constexpr std::uint8_t CMD_PLL_TOTAL = 'F';
constexpr std::uint8_t CMD_CONTROL = 'G';
constexpr std::uint8_t CMD_FRONTEND_REGISTER = 'H';

constexpr std::uint8_t REG_GAIN = 7;
constexpr std::uint8_t REG_OFFSET = 10;
constexpr std::uint8_t REG_INPUT_CONFIG = 5;
// Two front-end registers the board wants written with fixed values.
constexpr std::uint8_t REG_FIXED_A = 13;
constexpr std::uint8_t REG_FIXED_A_VALUE = 0;
constexpr std::uint8_t REG_FIXED_B = 16;
constexpr std::uint8_t REG_FIXED_B_VALUE = 87;

constexpr std::uint8_t CONTROL_INTERLACED = 0x40;
constexpr std::uint8_t CONTROL_PIXEL_INTERLEAVE = 0x80;

// The length of every frame, by its letter; 0 for a byte that is no command.
constexpr std::uint32_t commandLength(std::uint8_t letter) {
    switch (letter) {
        case CMD_CAPTURE:
            return 1;
        case CMD_HORIZONTAL_POSITION:
        case CMD_VERTICAL_POSITION:
        case CMD_CONTROL:
            return 2;
        case CMD_ACTIVE_PIXELS:
        case CMD_ACTIVE_LINES:
        case CMD_PLL_TOTAL:
        case CMD_FRONTEND_REGISTER:
            return 3;
        default:
            return 0;
    }
}

// The values of the last programming; each data byte is the low byte of its member.
struct RegisterImage {
    std::int32_t regInputConfig = 0;
    std::int32_t regOffset = 0;
    std::int32_t regGain = 0;
    std::int32_t regControl = 0;  // carries over from one programming to the next
    std::int32_t regPllLow = 0;
    std::int32_t regPllHigh = 0;
    std::int32_t regVerticalPosition = 0;
    std::int32_t regLinesLow = 0;
    std::int32_t regLinesHigh = 0;
    std::int32_t regHorizontalPosition = 0;
    std::int32_t regPixelsLow = 0;
    std::int32_t regPixelsHigh = 0;
};

struct CommandFrame {
    std::array<std::uint8_t, 3> bytes{};
    std::uint32_t length = 0;
};

void updateRegisterImage(RegisterImage& image, const BoardSettings& settings);
std::array<CommandFrame, 11> programmingSequence(const RegisterImage& image);

}  // namespace kaptor::control
