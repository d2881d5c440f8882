// The fourteen board values and the name of the configuration in use. One record per control;
// the control and its configuration dialog read and write it in place.
#pragma once

#include <cstdint>
#include <string>

namespace kaptor::control {

// Fields in the record's own order, which is also the dialog's exchange order.
struct BoardSettings {
    std::int32_t pixelInterleave = 0;
    std::int32_t dicom = 0;
    std::uint32_t gain = 0;
    std::int32_t pixelsPerLine = 0;
    std::int32_t horizontalPosition = 0;
    std::uint32_t offset = 0;
    std::int32_t pllPixelTotal = 0;
    std::int32_t inputConfig = 0;
    std::int32_t sensitivity = 0;
    std::int32_t activeLines = 0;
    std::int32_t verticalPosition = 0;
    std::int32_t interlaced = 0;
    std::string configName;  // Windows-1252 file name with extension, without folder
    std::int32_t singleField = 0;
    std::int32_t fieldInversion = 0;

    bool operator==(const BoardSettings&) const = default;
};

// Image height of a frame: one field's lines, doubled when interlaced. The full product, in
// 64 bits so that no setting can overflow it.
constexpr std::int64_t frameLinesOf(const BoardSettings& s) {
    return (std::int64_t{s.interlaced} + 1) * s.activeLines;
}

}  // namespace kaptor::control
