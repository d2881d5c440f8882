#include "control/bmp_file.h"

#include <algorithm>

namespace kaptor::control {
namespace {

void put16(BmpHeader& h, std::size_t at, std::uint32_t value) {
    h[at] = static_cast<std::uint8_t>(value);
    h[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

void put32(BmpHeader& h, std::size_t at, std::uint32_t value) {
    put16(h, at, value & 0xFFFF);
    put16(h, at + 2, value >> 16);
}

std::int32_t atLeastZero(std::int32_t value) {
    return std::max(value, 0);
}

}  // namespace

void buildHeaderTemplate(BmpHeader& h) {
    h.fill(0);
    h[0] = 'B';
    h[1] = 'M';
    put32(h, 10, BMP_HEADER_SIZE);  // bfOffBits
    put32(h, 14, 40);               // biSize
    put16(h, 26, 1);                // biPlanes
    put16(h, 28, 8);                // biBitCount
    put32(h, 38, 3780);             // biXPelsPerMeter: 96 dots per inch
    put32(h, 42, 3780);             // biYPelsPerMeter
    for (std::size_t i = 0; i < 256; ++i) {
        const auto gray = static_cast<std::uint8_t>(i);
        h[54 + 4 * i] = gray;
        h[55 + 4 * i] = gray;
        h[56 + 4 * i] = gray;
    }
    patchHeaderDimensions(h, TEMPLATE_WIDTH, TEMPLATE_LINES);
}

void patchHeaderDimensions(BmpHeader& h, std::int32_t width, std::int32_t lines) {
    width = atLeastZero(width);
    lines = atLeastZero(lines);
    const std::uint64_t imageSize = std::uint64_t{bmpRowStride(width)} * std::uint64_t(lines);
    put32(h, 2, static_cast<std::uint32_t>(BMP_HEADER_SIZE + imageSize));  // bfSize
    put32(h, 18, static_cast<std::uint32_t>(width));                       // biWidth
    put32(h, 22, static_cast<std::uint32_t>(lines));                       // biHeight
    put32(h, 34, static_cast<std::uint32_t>(imageSize));                   // biSizeImage
}

BmpWriteOutcome writeBmpFile(platform::FileSystem& files, std::string_view path,
                             const BmpHeader& header, std::span<const std::uint8_t> image,
                             std::int32_t width, std::int32_t lines) {
    const auto w = static_cast<std::size_t>(atLeastZero(width));
    const auto rows = static_cast<std::size_t>(atLeastZero(lines));
    const auto file = files.createReplacement(path);
    if (!file || w * rows > image.size()) {
        return {BmpWrite::NotCreated, {}};
    }
    const auto failed = [&file] { return BmpWriteOutcome{BmpWrite::WriteFailed, file->error()}; };
    if (!file->write(header)) {
        return failed();
    }
    const std::array<std::uint8_t, 4> padding{};
    const std::size_t pad = bmpRowStride(width) - w;
    for (std::size_t row = 0; row < rows; ++row) {
        if (!file->write(image.subspan(row * w, w)) ||
            (pad > 0 && !file->write(std::span(padding).first(pad)))) {
            return failed();
        }
    }
    const std::array<std::uint8_t, BMP_TRAILER_SIZE> trailer{};
    if (!file->write(trailer) || !file->commit()) {
        return failed();
    }
    return {BmpWrite::Written, {}};
}

}  // namespace kaptor::control
