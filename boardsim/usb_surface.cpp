#include "boardsim/usb_surface.h"

#include <algorithm>

namespace kaptor::boardsim {
namespace {

constexpr std::uint8_t VENDOR_OUT = 0x40;
constexpr std::uint8_t VENDOR_IN = 0xC0;
constexpr std::uint8_t STANDARD_IN = 0x80;
constexpr std::uint8_t GET_DESCRIPTOR = 6;

// The chip's vendor requests.
constexpr std::uint8_t SIO_RESET = 0x00;
constexpr std::uint8_t SIO_POLL_MODEM_STATUS = 0x05;
constexpr std::uint8_t SIO_SET_LATENCY_TIMER = 0x09;
constexpr std::uint8_t SIO_GET_LATENCY_TIMER = 0x0A;
constexpr std::uint8_t SIO_READ_PINS = 0x0C;
constexpr std::uint8_t SIO_READ_EEPROM = 0x90;
// SIO_RESET's values: the serial engine, the FIFO towards the board, the FIFO towards the host.
constexpr std::uint16_t RESET_SIO = 0;
constexpr std::uint16_t FLUSH_TOWARDS_HOST = 2;

// Clear to send, data set ready; transmitter empty: what an idle chip reports.
constexpr std::uint8_t MODEM_STATUS[2] = {0x31, 0x60};
constexpr std::size_t STATUS_BYTES = 2;

void little16(std::vector<std::uint8_t>& out, std::uint16_t value) {
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

}  // namespace

UsbSurface::UsbSurface(Board& board, platform::Clock& clock, UsbStrings strings)
    : board_(board), clock_(clock), strings_(std::move(strings)) {}

std::vector<std::uint8_t> UsbSurface::descriptors() const {
    std::vector<std::uint8_t> d = {18, 1};
    little16(d, 0x0200);               // USB 2.0
    d.insert(d.end(), {0, 0, 0, 64});  // class from the interface; control packets of 64
    little16(d, USB_VENDOR);
    little16(d, USB_PRODUCT);
    little16(d, 0x0900);              // the FT232H's release number, which names the chip
    d.insert(d.end(), {1, 2, 3, 1});  // strings 1-3, one configuration
    d.insert(d.end(), {9, 2, 32, 0, 1, 1, 0, 0x80, 50});  // bus powered, 100 mA
    d.insert(d.end(), {9, 4, 0, 0, 2, 0xFF, 0xFF, 0xFF, 2});
    for (const std::uint8_t endpoint : {std::uint8_t{0x81}, std::uint8_t{0x02}}) {
        d.insert(d.end(), {7, 5, endpoint, 2});  // bulk
        little16(d, static_cast<std::uint16_t>(USB_PACKET));
        d.push_back(0);
    }
    return d;
}

std::vector<std::uint8_t> UsbSurface::stringDescriptor(std::uint8_t index) const {
    if (index == 0) {
        return {4, 3, 0x09, 0x04};  // English (United States)
    }
    const std::string* text = index == 1   ? &strings_.manufacturer
                              : index == 2 ? &strings_.product
                              : index == 3 ? &strings_.serial
                                           : nullptr;
    if (text == nullptr) {
        return {};
    }
    std::vector<std::uint8_t> d = {static_cast<std::uint8_t>(2 + 2 * text->size()), 3};
    for (const char c : *text) {
        little16(d, static_cast<std::uint8_t>(c));
    }
    return d;
}

std::optional<std::vector<std::uint8_t>> UsbSurface::control(
    const UsbSetup& setup, const std::vector<std::uint8_t>& /*data*/) {
    std::vector<std::uint8_t> answer;
    if (setup.requestType == STANDARD_IN && setup.request == GET_DESCRIPTOR) {
        const auto type = static_cast<std::uint8_t>(setup.value >> 8);
        const auto index = static_cast<std::uint8_t>(setup.value & 0xFF);
        if (type == 3) {
            answer = stringDescriptor(index);
        } else if (type == 1 || type == 2) {
            const auto all = descriptors();
            answer.assign(type == 1 ? all.begin() : all.begin() + 18,
                          type == 1 ? all.begin() + 18 : all.end());
        }
        if (answer.empty()) {
            return std::nullopt;
        }
    } else if (setup.requestType == VENDOR_OUT) {
        if (setup.request == SIO_RESET) {
            board_.traceLine("USB reset " + std::to_string(setup.value));
            if (setup.value == RESET_SIO) {
                board_.resetReceive();
            } else if (setup.value == FLUSH_TOWARDS_HOST) {
                board_.purgeReceive();
            }
        } else if (setup.request == SIO_SET_LATENCY_TIMER) {
            latencyMs_ = static_cast<std::uint8_t>(std::max<std::uint16_t>(setup.value & 0xFF, 1));
        }
        // Baud rate, data format, flow control, modem lines, bit mode: nothing for a FIFO.
    } else if (setup.requestType == VENDOR_IN) {
        if (setup.request == SIO_POLL_MODEM_STATUS) {
            answer.assign(std::begin(MODEM_STATUS), std::end(MODEM_STATUS));
        } else if (setup.request == SIO_GET_LATENCY_TIMER) {
            answer = {latencyMs_};
        } else if (setup.request == SIO_READ_PINS) {
            answer = {0xFF};
        } else if (setup.request == SIO_READ_EEPROM) {
            answer = {0xFF, 0xFF};  // a blank EEPROM
        } else {
            return std::nullopt;
        }
    } else {
        return std::nullopt;
    }
    if (answer.size() > setup.length) {
        answer.resize(setup.length);
    }
    return answer;
}

bool UsbSurface::bulkOut(const std::uint8_t* bytes, std::size_t count) {
    ++bulkOuts_;
    board_.traceLine("USB OUT" + hexBytes(bytes, count));
    if (board_.config().faults.writeZeroAt == bulkOuts_) {
        return false;
    }
    board_.receiveCommand(bytes, count);
    return true;
}

std::optional<std::vector<std::uint8_t>> UsbSurface::bulkIn(std::size_t capacity,
                                                            std::int64_t submittedMicros) {
    // Whole packets, and a last short one when the buffer ends inside a packet.
    const std::size_t tail = capacity % USB_PACKET;
    const std::size_t room = capacity / USB_PACKET * (USB_PACKET - STATUS_BYTES) +
                             (tail > STATUS_BYTES ? tail - STATUS_BYTES : 0);
    const std::size_t packets = (capacity + USB_PACKET - 1) / USB_PACKET;
    const std::size_t waiting = board_.queuedNow();
    const bool latencyOver =
        clock_.nowMicros() - submittedMicros >= std::int64_t{latencyMs_} * 1000;
    if (waiting < room && !latencyOver) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> data(std::min(waiting, room));
    data.resize(board_.takeQueued(data.data(), data.size()));
    std::vector<std::uint8_t> out;
    out.reserve(data.size() + packets * STATUS_BYTES);
    std::size_t at = 0;
    do {
        const std::size_t n = std::min(data.size() - at, USB_PACKET - STATUS_BYTES);
        out.insert(out.end(), std::begin(MODEM_STATUS), std::end(MODEM_STATUS));
        out.insert(out.end(), data.begin() + static_cast<std::ptrdiff_t>(at),
                   data.begin() + static_cast<std::ptrdiff_t>(at + n));
        at += n;
    } while (at < data.size());
    return out;
}

}  // namespace kaptor::boardsim
