#include "control/frame_acquisition.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <memory>

#include "control/field_assembly.h"
#include "control/messages.h"

namespace kaptor::control {

std::optional<std::size_t> frameBytesWithin(std::int32_t width, std::int64_t lines,
                                            std::size_t limit) {
    if (lines > std::numeric_limits<std::int32_t>::max() ||
        lines < std::numeric_limits<std::int32_t>::min()) {
        return std::nullopt;
    }
    if (width <= 0 || lines <= 0) {
        return 0;
    }
    // Both factors below 2^31: the product cannot overflow 64 bits.
    const auto bytes = static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(lines);
    if (bytes > limit) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(bytes);
}

FrameAcquisition::FrameAcquisition(UsbLink& link, platform::Clock& clock,
                                   platform::Operator& person)
    : link_(link), clock_(clock), operator_(person) {}

void FrameAcquisition::acquire(const BoardSettings& s, std::int32_t& frameWidth,
                               std::int32_t& frameLines, std::span<std::uint8_t> image) {
    // The line count in 64 bits: it is checked before anything narrows it.
    const std::int64_t lines = frameLinesOf(s);
    const std::optional<std::size_t> frameBytes =
        frameBytesWithin(s.pixelsPerLine, lines, image.size());
    frameWidth = s.pixelsPerLine;
    frameLines = frameBytes ? static_cast<std::int32_t>(lines) : 0;
    const std::int64_t startMark = clock_.clock();
    link_.ftResetDevice();
    clock_.Sleep(SETTLE_MS);

    if (!frameBytes) {
        // Refused whole: a picture of no rows, never one with bytes from outside the frame.
        operator_.messageBox(msg::FRAME_TOO_LARGE);
        frameWidth = 0;
        frameLines = 0;
        return;
    }
    const std::size_t size = *frameBytes;
    // Room for the last chunk to run past the frame's end, whatever the frame's size. Not
    // cleared here: only what does not arrive is zeroed, after the read.
    const std::size_t capacity = std::max(4 * size, size + READ_CHUNK);
    const auto receiveBuffer = std::make_unique_for_overwrite<std::uint8_t[]>(capacity);

    if (!link_.isOpen()) {
        return;
    }
    d2xx::DWORD queued = 0;
    if (link_.ftGetQueueStatus(queued) != d2xx::FT_OK) {
        link_.closeDevice();
        queued = 0;
    }
    const std::size_t received = readFrame(startMark, queued, receiveBuffer.get(), size);
    if (size == 0) {
        return;
    }
    // A frame that stops short shows black where nothing came.
    std::fill(receiveBuffer.get() + std::min(received, size), receiveBuffer.get() + size,
              std::uint8_t{0});
    assemble(s, receiveBuffer.get(), image.data(), static_cast<std::size_t>(frameWidth),
             static_cast<std::size_t>(frameLines));
    // Nothing of an earlier, larger frame stays behind the new one.
    if (imageWritten_ > size) {
        std::fill(image.begin() + static_cast<std::ptrdiff_t>(size),
                  image.begin() + static_cast<std::ptrdiff_t>(imageWritten_), std::uint8_t{0});
    }
    imageWritten_ = size;
}

void FrameAcquisition::assemble(const BoardSettings& s, const std::uint8_t* received,
                                std::uint8_t* image, std::size_t width, std::size_t lines) {
    if (s.interlaced == 0) {
        assembleProgressive(received, image, width, lines);
        return;
    }
    if (s.interlaced != 1) {
        // Two fields cannot cover (interlaced + 1) x activeLines lines: laid out line by line.
        operator_.messageBox(msg::INTERLACED_INVALID);
        assembleProgressive(received, image, width, lines);
        return;
    }
    if (s.singleField == 1 && lines > 1) {
        assembleSingleField(received, image, width, lines, s.fieldInversion);
    } else {
        assembleFields(received, image, width, lines, s.fieldInversion);
    }
}

std::size_t FrameAcquisition::readFrame(std::int64_t startMark, d2xx::DWORD queued,
                                        std::uint8_t* receive, std::size_t size) {
    std::size_t total = 0;
    if (size == 0) {
        return 0;
    }
    std::array<std::uint8_t, READ_CHUNK> chunk;
    const d2xx::DWORD request = std::min<d2xx::DWORD>(queued, READ_CHUNK);
    std::int64_t elapsed = 0;
    for (;;) {
        if (elapsed >= TIME_LIMIT_SECONDS) {
            break;
        }
        bool arrived = false;
        if (request != 0) {
            d2xx::DWORD count = 0;
            const d2xx::FT_STATUS status = link_.ftRead(chunk.data(), request, count);
            if ((status == d2xx::FT_OK || status == d2xx::FT_IO_ERROR) && count > 0) {
                count = std::min(count, request);
                std::memcpy(receive + total, chunk.data(), count);
                total += count;
                arrived = true;
            }
            if (!arrived) {
                // Nothing came this pass: give the board a moment instead of spinning.
                clock_.Sleep(1);
            }
        } else {
            // No read is ever issued: nothing can come before the time limit.
            const std::int64_t left = TIME_LIMIT_SECONDS * 1000 - (clock_.clock() - startMark);
            clock_.Sleep(static_cast<std::uint32_t>(std::max<std::int64_t>(left, 1)));
        }
        elapsed = (clock_.clock() - startMark) / 1000;
        if (elapsed >= TIME_LIMIT_SECONDS) {
            operator_.messageBox(msg::TIME_OUT);
        }
        if (total >= size) {
            break;
        }
    }
    return total;
}

}  // namespace kaptor::control
