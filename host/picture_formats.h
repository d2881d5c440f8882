// The picture formats kaptor writes. BMP is the control's own file, byte for byte; PNG and PGM
// are converted from it by the host.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kaptor::host {

enum class PictureFormat { Bmp, Png, Pgm };

// "bmp", "png", "pgm" (any case).
std::optional<PictureFormat> formatNamed(std::string_view name);
// The format a path's extension names, if it names one.
std::optional<PictureFormat> formatOfPath(std::string_view path);

bool pngAvailable();

struct GrayPicture {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<std::uint8_t> pixels;  // rows top first, width bytes each
};

// Reads an 8-bit palette BMP as the control writes it (rows padded to 4 bytes, bottom first
// unless the height is negative; the trailer after the rows is ignored). Gray levels are the
// palette's green values. Nothing when the bytes are not such a file.
std::optional<GrayPicture> decodeControlBmp(std::string_view bytes);

// Binary PGM: "P5", width, height, 255, then the rows.
std::string encodePgm(const GrayPicture& picture);

// 8-bit grayscale PNG; nothing when this build has no PNG support.
std::optional<std::string> encodePng(const GrayPicture& picture);

}  // namespace kaptor::host
