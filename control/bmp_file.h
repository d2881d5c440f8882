// The picture file: an uncompressed 8-bit grayscale BMP with a gray-ramp palette, rows bottom
// up, followed by 5000 zero bytes.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>
#include <system_error>

#include "platform/file_system.h"

namespace kaptor::control {

constexpr std::size_t BMP_HEADER_SIZE = 1078;
constexpr std::size_t BMP_TRAILER_SIZE = 5000;
constexpr std::int32_t TEMPLATE_WIDTH = 640;
constexpr std::int32_t TEMPLATE_LINES = 496;

using BmpHeader = std::array<std::uint8_t, BMP_HEADER_SIZE>;
static_assert(sizeof(BmpHeader) == 1078);

// Rows are padded with zero bytes to a multiple of 4, as BMP readers expect.
constexpr std::size_t bmpRowStride(std::int32_t width) {
    return width <= 0 ? 0 : (static_cast<std::size_t>(width) + 3) & ~std::size_t{3};
}

// The header of a 640 x 496 picture.
void buildHeaderTemplate(BmpHeader& header);

// Width, height and the two sizes for the given dimensions (a dimension below 1 counts as 0).
void patchHeaderDimensions(BmpHeader& header, std::int32_t width, std::int32_t lines);

enum class BmpWrite {
    Written,
    NotCreated,  // the file could not be created (or the frame does not fit the image)
    WriteFailed  // created, then a write failed (disk full, a file-size limit)
};

struct BmpWriteOutcome {
    BmpWrite result;
    std::error_code error;  // why a write failed, when the file layer knows

    explicit operator bool() const { return result == BmpWrite::Written; }
};

// Writes header, rows and trailer to path through a temporary file. Unless Written, a file
// already at path is unchanged.
BmpWriteOutcome writeBmpFile(platform::FileSystem& files, std::string_view path,
                             const BmpHeader& header, std::span<const std::uint8_t> image,
                             std::int32_t width, std::int32_t lines);

}  // namespace kaptor::control
