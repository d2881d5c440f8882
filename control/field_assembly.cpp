#include "control/field_assembly.h"

#include <cstring>

namespace kaptor::control {

void assembleProgressive(const std::uint8_t* received, std::uint8_t* image, std::size_t width,
                         std::size_t lines) {
    for (std::size_t i = 0; i < lines; ++i) {
        std::memcpy(image + i * width, received + (lines - 1 - i) * width, width);
    }
}

void assembleFields(const std::uint8_t* received, std::uint8_t* image, std::size_t width,
                    std::size_t lines, std::int32_t fieldInversion) {
    const std::size_t half = lines / 2;
    const std::size_t p = static_cast<std::size_t>(fieldInversion & 1);
    // First field on the rows of parity 1 - p, second field on the rows of parity p, each
    // taken in reverse order so that its first received row lands on top.
    for (std::size_t k = 0; (1 - p) + 2 * k < lines && k < half; ++k) {
        std::memcpy(image + ((1 - p) + 2 * k) * width, received + (half - 1 - k) * width, width);
    }
    for (std::size_t k = 0; p + 2 * k < lines && k < half; ++k) {
        std::memcpy(image + (p + 2 * k) * width, received + (2 * half - 1 - k) * width, width);
    }
}

void interpolateSingleField(std::uint8_t* image, std::size_t width, std::size_t lines) {
    for (std::size_t r = 1; r < lines; r += 2) {
        std::uint8_t* row = image + r * width;
        const std::uint8_t* below = row - width;
        if (r + 1 >= lines) {
            std::memcpy(row, below, width);
            continue;
        }
        const std::uint8_t* above = row + width;
        for (std::size_t j = 0; j < width; ++j) {
            row[j] = static_cast<std::uint8_t>((unsigned{below[j]} + unsigned{above[j]}) >> 1);
        }
    }
}

}  // namespace kaptor::control
