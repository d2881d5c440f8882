#include "control/frame_acquisition.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "control/field_assembly.h"
#include "control/messages.h"

namespace kaptor::control {

FrameAcquisition::FrameAcquisition(UsbLink& link, platform::Clock& clock,
                                   platform::Operator& person)
    : link_(link), clock_(clock), operator_(person) {}

void FrameAcquisition::acquire(const BoardSettings& s, std::int32_t& frameWidth,
                               std::int32_t& frameLines, std::span<std::uint8_t> image) {
    frameWidth = s.pixelsPerLine;
    frameLines = static_cast<std::int32_t>(frameLinesOf(s));
    const std::int64_t startMark = clock_.clock();
    link_.ftResetDevice();
    clock_.Sleep(SETTLE_MS);

    const std::int64_t frameBytes =
        frameWidth > 0 && frameLines > 0 ? std::int64_t{frameWidth} * frameLines : 0;
    if (frameBytes > static_cast<std::int64_t>(image.size())) {
        // Refused whole: a picture of no rows, never one with bytes from outside the frame.
        operator_.messageBox(msg::FRAME_TOO_LARGE);
        frameWidth = 0;
        frameLines = 0;
        return;
    }
    bool lineByLine = s.interlaced == 0;
    if (s.interlaced != 0 && s.interlaced != 1) {
        operator_.messageBox(msg::INTERLACED_INVALID);
        lineByLine = true;
    }
    const auto size = static_cast<std::size_t>(frameBytes);
    // Room for the last chunk to run past the frame's end, whatever the frame's size; zeroed,
    // so a frame that stops short shows black rather than old memory.
    std::vector<std::uint8_t> receiveBuffer(std::max(4 * size, size + READ_CHUNK));

    if (link_.isOpen == 0) {
        return;
    }
    d2xx::DWORD queued = 0;
    if (link_.ftGetQueueStatus(queued) != d2xx::FT_OK) {
        link_.ftClose();
        link_.isOpen = 0;
        queued = 0;
    }
    readFrame(startMark, queued, receiveBuffer.data(), size);
    if (size == 0) {
        return;
    }

    const auto width = static_cast<std::size_t>(frameWidth);
    const auto lines = static_cast<std::size_t>(frameLines);
    if (lineByLine) {
        assembleProgressive(receiveBuffer.data(), image.data(), width, lines);
    } else {
        assembleFields(receiveBuffer.data(), image.data(), width, lines, s.fieldInversion);
        if (s.singleField == 1 && lines > 1) {
            interpolateSingleField(image.data(), width, lines);
        }
    }
    // Nothing of an earlier, larger frame stays behind the new one.
    std::fill(image.begin() + static_cast<std::ptrdiff_t>(size), image.end(), std::uint8_t{0});
}

std::size_t FrameAcquisition::readFrame(std::int64_t startMark, d2xx::DWORD queued,
                                        std::uint8_t* receive, std::size_t size) {
    std::size_t total = 0;
    if (size == 0) {
        return 0;
    }
    std::array<std::uint8_t, READ_CHUNK> chunk{};
    const d2xx::DWORD request = std::min<d2xx::DWORD>(queued, READ_CHUNK);
    std::int64_t elapsed = 0;
    for (;;) {
        if (elapsed >= TIME_LIMIT_SECONDS) {
            break;
        }
        bool arrived = false;
        if (request != 0) {
            d2xx::DWORD received = 0;
            const d2xx::FT_STATUS status = link_.ftRead(chunk.data(), request, received);
            if ((status == d2xx::FT_OK || status == d2xx::FT_IO_ERROR) && received > 0) {
                received = std::min(received, request);
                std::memcpy(receive + total, chunk.data(), received);
                total += received;
                arrived = true;
            }
        }
        if (!arrived) {
            // Nothing came this pass: give the board a moment instead of spinning.
            clock_.Sleep(1);
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
