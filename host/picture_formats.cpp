#include "host/picture_formats.h"

#include <algorithm>

#include "platform/text.h"

namespace kaptor::host {
namespace {

std::uint32_t le32(std::string_view bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        value |= std::uint32_t{static_cast<std::uint8_t>(bytes[at + i])} << (8 * i);
    }
    return value;
}

std::uint16_t le16(std::string_view bytes, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<std::uint8_t>(bytes[at]) |
                                      static_cast<std::uint8_t>(bytes[at + 1]) << 8);
}

constexpr std::size_t FILE_HEADER = 14;
constexpr std::size_t INFO_HEADER = 40;
constexpr std::size_t PALETTE = 1024;

}  // namespace

std::optional<PictureFormat> formatNamed(std::string_view name) {
    const struct {
        const char* name;
        PictureFormat format;
    } names[] = {
        {"bmp", PictureFormat::Bmp}, {"png", PictureFormat::Png}, {"pgm", PictureFormat::Pgm}};
    for (const auto& n : names) {
        if (platform::equalsIgnoreCase1252(name, n.name)) {
            return n.format;
        }
    }
    return std::nullopt;
}

std::optional<PictureFormat> formatOfPath(std::string_view path) {
    const auto dot = path.rfind('.');
    const auto separator = path.find_last_of("/\\");
    if (dot == std::string_view::npos || (separator != std::string_view::npos && dot < separator)) {
        return std::nullopt;
    }
    return formatNamed(path.substr(dot + 1));
}

std::optional<GrayPicture> decodeControlBmp(std::string_view bytes) {
    if (bytes.size() < FILE_HEADER + INFO_HEADER + PALETTE || bytes[0] != 'B' || bytes[1] != 'M' ||
        le16(bytes, 28) != 8 || le32(bytes, 30) != 0) {
        return std::nullopt;
    }
    const auto width = static_cast<std::int32_t>(le32(bytes, 18));
    const auto rawHeight = static_cast<std::int32_t>(le32(bytes, 22));
    const std::uint32_t offset = le32(bytes, 10);
    if (width < 0 || rawHeight == INT32_MIN || offset < FILE_HEADER + le32(bytes, 14) ||
        offset > bytes.size()) {
        return std::nullopt;
    }
    const bool bottomFirst = rawHeight > 0;
    GrayPicture picture;
    picture.width = width;
    picture.height = bottomFirst ? rawHeight : -rawHeight;
    const auto w = static_cast<std::size_t>(width);
    const auto h = static_cast<std::size_t>(picture.height);
    const std::size_t stride = (w + 3) & ~std::size_t{3};
    if (h != 0 && stride > (bytes.size() - offset) / h) {
        return std::nullopt;
    }
    const std::size_t paletteAt = FILE_HEADER + le32(bytes, 14);
    std::uint8_t gray[256];
    for (std::size_t i = 0; i < 256; ++i) {
        gray[i] = paletteAt + 4 * i + 1 < offset
                      ? static_cast<std::uint8_t>(bytes[paletteAt + 4 * i + 1])
                      : static_cast<std::uint8_t>(i);
    }
    picture.pixels.resize(w * h);
    for (std::size_t row = 0; row < h; ++row) {
        const std::size_t from = offset + (bottomFirst ? h - 1 - row : row) * stride;
        for (std::size_t x = 0; x < w; ++x) {
            picture.pixels[row * w + x] = gray[static_cast<std::uint8_t>(bytes[from + x])];
        }
    }
    return picture;
}

std::string encodePgm(const GrayPicture& picture) {
    std::string out =
        "P5\n" + std::to_string(picture.width) + " " + std::to_string(picture.height) + "\n255\n";
    out.append(picture.pixels.begin(), picture.pixels.end());
    return out;
}

}  // namespace kaptor::host
