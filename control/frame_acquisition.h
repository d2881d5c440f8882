// One capture after the trigger: reset the board's queue, wait for the frame, read it in chunks
// of at most 512 bytes within the time limit, and lay it into the image buffer.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "control/board_settings.h"
#include "control/usb_link.h"
#include "platform/clock.h"
#include "platform/operator.h"

namespace kaptor::control {

constexpr std::uint32_t SETTLE_MS = 600;
constexpr std::uint32_t READ_CHUNK = 512;
// A read loop leaves after the first pass that ends this many whole seconds after the start.
constexpr std::int64_t TIME_LIMIT_SECONDS = 3;

class FrameAcquisition {
  public:
    FrameAcquisition(UsbLink& link, platform::Clock& clock, platform::Operator& person);

    // Derives the geometry from settings into frameWidth and frameLines, reads the frame and
    // assembles it into image. A frame that reads nothing leaves image as it was. image is the
    // same buffer at every call and all zero before the first.
    void acquire(const BoardSettings& settings, std::int32_t& frameWidth, std::int32_t& frameLines,
                 std::span<std::uint8_t> image);

  private:
    // Lays the received frame into image as the settings ask: line by line or as two fields,
    // with one of them interpolated.
    void assemble(const BoardSettings& settings, const std::uint8_t* received, std::uint8_t* image,
                  std::size_t width, std::size_t lines);
    // Reads until size bytes came or the time limit passed; returns the count received.
    std::size_t readFrame(std::int64_t startMark, d2xx::DWORD queued, std::uint8_t* receive,
                          std::size_t size);

    UsbLink& link_;
    platform::Clock& clock_;
    platform::Operator& operator_;
    // Bytes of the image an earlier capture may have written; all beyond are zero.
    std::size_t imageWritten_ = 0;
};

// Bytes of a frame of width x lines when they fit in limit (0 for an empty frame); nothing when
// they do not, or when lines does not fit in 32 bits.
std::optional<std::size_t> frameBytesWithin(std::int32_t width, std::int64_t lines,
                                            std::size_t limit);

}  // namespace kaptor::control
