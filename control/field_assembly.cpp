#include "control/field_assembly.h"

#include <cstring>

namespace kaptor::control {
namespace {

// Image rows firstRow, firstRow + 2, ... take received rows lastReceived, lastReceived - 1, ...
// (one field in reverse order), at most count of them and none at or above lines.
void layField(const std::uint8_t* received, std::uint8_t* image, std::size_t width,
              std::size_t lines, std::size_t firstRow, std::size_t lastReceived,
              std::size_t count) {
    for (std::size_t k = 0; k < count && firstRow + 2 * k < lines; ++k) {
        std::memcpy(image + (firstRow + 2 * k) * width, received + (lastReceived - k) * width,
                    width);
    }
}

// Blocks of a fixed length let the compiler replace the inner loop by vector instructions.
constexpr std::size_t AVERAGE_BLOCK = 32;

// The truncated mean of two bytes, (a + b) >> 1, without leaving 8 bits.
inline std::uint8_t truncatedMean(std::uint8_t a, std::uint8_t b) {
    return static_cast<std::uint8_t>((a & b) + ((a ^ b) >> 1));
}

// On x86-64 Linux the loader picks the AVX2 build of this loop when the processor has it.
#if defined(__x86_64__) && defined(__linux__) && defined(__GNUC__)
__attribute__((target_clones("avx2", "default")))
#endif
void averageRows(const std::uint8_t* __restrict below, const std::uint8_t* __restrict above,
                 std::uint8_t* __restrict row, std::size_t width) {
    std::size_t j = 0;
    for (; j + AVERAGE_BLOCK <= width; j += AVERAGE_BLOCK) {
        for (std::size_t k = 0; k < AVERAGE_BLOCK; ++k) {
            row[j + k] = truncatedMean(below[j + k], above[j + k]);
        }
    }
    for (; j < width; ++j) {
        row[j] = truncatedMean(below[j], above[j]);
    }
}

// Lays the next even row and, in the same pass, the odd row between it and the row below.
#if defined(__x86_64__) && defined(__linux__) && defined(__GNUC__)
__attribute__((target_clones("avx2", "default")))
#endif
void layAndAverage(const std::uint8_t* __restrict next, const std::uint8_t* __restrict below,
                   std::uint8_t* __restrict nextRow, std::uint8_t* __restrict between,
                   std::size_t width) {
    std::size_t j = 0;
    for (; j + AVERAGE_BLOCK <= width; j += AVERAGE_BLOCK) {
        for (std::size_t k = 0; k < AVERAGE_BLOCK; ++k) {
            nextRow[j + k] = next[j + k];
            between[j + k] = truncatedMean(below[j + k], next[j + k]);
        }
    }
    for (; j < width; ++j) {
        nextRow[j] = next[j];
        between[j] = truncatedMean(below[j], next[j]);
    }
}

// Odd row r becomes the mean of its neighbours, or a copy of the row below when it is the top.
void replaceOddRow(std::uint8_t* image, std::size_t width, std::size_t lines, std::size_t r) {
    std::uint8_t* row = image + r * width;
    if (r + 1 >= lines) {
        std::memcpy(row, row - width, width);
    } else {
        averageRows(row - width, row + width, row, width);
    }
}

}  // namespace

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
    if (half == 0) {
        return;
    }
    layField(received, image, width, lines, 1 - p, half - 1, half);
    layField(received, image, width, lines, p, 2 * half - 1, half);
}

void interpolateSingleField(std::uint8_t* image, std::size_t width, std::size_t lines) {
    for (std::size_t r = 1; r < lines; r += 2) {
        replaceOddRow(image, width, lines, r);
    }
}

void assembleSingleField(const std::uint8_t* received, std::uint8_t* image, std::size_t width,
                         std::size_t lines, std::int32_t fieldInversion) {
    const std::size_t half = lines / 2;
    if (half == 0) {
        return;
    }
    // The even rows keep their field: the second with the low bit of fieldInversion clear, the
    // first with it set. The odd rows are all replaced, so they are not laid at all; each is
    // computed right after the row above it is laid, while both neighbours are in the cache.
    const std::size_t lastReceived = (fieldInversion & 1) == 0 ? 2 * half - 1 : half - 1;
    const auto evenSource = [&](std::size_t k) { return received + (lastReceived - k) * width; };
    // Even row 2k takes received row lastReceived - k, for k < half; odd rows are computed.
    std::memcpy(image, evenSource(0), width);
    for (std::size_t r = 1; r < lines; r += 2) {
        const std::size_t k = (r + 1) / 2;
        std::uint8_t* row = image + r * width;
        if (k < half && r + 1 < lines) {
            layAndAverage(evenSource(k), row - width, row + width, row, width);
        } else {
            replaceOddRow(image, width, lines, r);
        }
    }
}

}  // namespace kaptor::control
