// Laying a received frame into the image buffer, bottom row first: line by line, as two
// interleaved fields, and the single-field interpolation. Row-by-row copies between two flat
// buffers, nothing allocated.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kaptor::control {

// Image row i takes received row lines - 1 - i: the first received row is the top line.
void assembleProgressive(const std::uint8_t* received, std::uint8_t* image, std::size_t width,
                         std::size_t lines);

// The first field is received rows 0..H-1, the second H..2H-1 (H = lines / 2). With the low bit
// of fieldInversion clear the first field gives the lines 0, 2, 4, ... counted from the top.
void assembleFields(const std::uint8_t* received, std::uint8_t* image, std::size_t width,
                    std::size_t lines, std::int32_t fieldInversion);

// Every odd image row becomes the mean (truncated) of its two neighbours. The top row, which
// has only the row below it inside the frame, becomes a copy of that row.
void interpolateSingleField(std::uint8_t* image, std::size_t width, std::size_t lines);

// The same picture as assembleFields followed by interpolateSingleField, without laying the
// field that the interpolation replaces.
void assembleSingleField(const std::uint8_t* received, std::uint8_t* image, std::size_t width,
                         std::size_t lines, std::int32_t fieldInversion);

}  // namespace kaptor::control
