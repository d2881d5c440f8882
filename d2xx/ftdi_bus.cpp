#include "d2xx/ftdi_bus.h"

#include <ftdi.h>
#include <libusb.h>
#include <algorithm>

namespace kaptor::usbd2xx {
namespace {

// The chip waits this long before it sends a packet that is not full.
constexpr unsigned char LATENCY_MS = 2;
// A fetch by the reader waits no longer than this for the chip's answer, so that closing is quick.
constexpr int FETCH_TIMEOUT_MS = 100;
constexpr unsigned READ_CHUNK_BYTES = 16384;

struct ContextFree {
    void operator()(ftdi_context* context) const { ftdi_free(context); }
};
using Context = std::unique_ptr<ftdi_context, ContextFree>;

struct ListFree {
    void operator()(ftdi_device_list* list) const { ftdi_list_free2(list); }
};
using DeviceList = std::unique_ptr<ftdi_device_list, ListFree>;

bool fifoProduct(std::uint16_t product) {
    return std::ranges::find(FIFO_PRODUCTS, product) != std::end(FIFO_PRODUCTS);
}

// The matching devices on the context's bus.
std::vector<libusb_device*> fifoDevices(ftdi_context* context, DeviceList& list) {
    ftdi_device_list* found = nullptr;
    // Vendor and product 0: libftdi's own list of the chip maker's products.
    if (ftdi_usb_find_all(context, &found, 0, 0) < 0) {
        return {};
    }
    list.reset(found);
    std::vector<libusb_device*> devices;
    for (ftdi_device_list* entry = found; entry != nullptr; entry = entry->next) {
        libusb_device_descriptor descriptor{};
        if (libusb_get_device_descriptor(entry->dev, &descriptor) == 0 &&
            descriptor.idVendor == FTDI_VENDOR && fifoProduct(descriptor.idProduct)) {
            devices.push_back(entry->dev);
        }
    }
    return devices;
}

class FtdiFifo : public UsbFifo {
  public:
    explicit FtdiFifo(Context context) : context_(std::move(context)) {}
    ~FtdiFifo() override {
        // Releases the interface; the kernel's serial driver gets the device back when libftdi
        // took it away.
        ftdi_usb_close(context_.get());
    }

    int read(std::uint8_t* out, std::size_t max) override {
        const int n = ftdi_read_data(context_.get(), out, static_cast<int>(max));
        // A chip that says nothing within the fetch's time is not gone; anything else is.
        return n == LIBUSB_ERROR_TIMEOUT ? 0 : n;
    }
    int write(const std::uint8_t* bytes, std::size_t count, unsigned timeoutMs) override {
        context_->usb_write_timeout = static_cast<int>(timeoutMs);
        return ftdi_write_data(context_.get(), bytes, static_cast<int>(count));
    }
    bool purgeReceive() override { return ftdi_tciflush(context_.get()) == 0; }
    bool purgeTransmit() override { return ftdi_tcoflush(context_.get()) == 0; }
    bool reset() override { return ftdi_usb_reset(context_.get()) == 0; }

  private:
    Context context_;
};

}  // namespace

std::vector<BoardOnBus> findBoards() {
    const Context context(ftdi_new());
    if (!context) {
        return {};
    }
    DeviceList list;
    std::vector<BoardOnBus> boards;
    for (libusb_device* device : fifoDevices(context.get(), list)) {
        char description[128] = {};
        char serial[128] = {};
        // A device whose strings cannot be read (held elsewhere, or failing) is listed without
        // them.
        ftdi_usb_get_strings2(context.get(), device, nullptr, 0, description, sizeof description,
                              serial, sizeof serial);
        libusb_device_descriptor descriptor{};
        libusb_get_device_descriptor(device, &descriptor);
        boards.push_back({std::string(description), std::string(serial),
                          libusb_get_bus_number(device), libusb_get_device_address(device),
                          descriptor.idProduct});
    }
    std::ranges::sort(boards, [](const BoardOnBus& a, const BoardOnBus& b) {
        return std::pair(a.bus, a.address) < std::pair(b.bus, b.address);
    });
    return boards;
}

bool heldElsewhere(const BoardOnBus& board) {
    const Context context(ftdi_new());
    if (!context) {
        return false;
    }
    DeviceList list;
    for (libusb_device* device : fifoDevices(context.get(), list)) {
        if (libusb_get_bus_number(device) != board.bus ||
            libusb_get_device_address(device) != board.address) {
            continue;
        }
        libusb_device_handle* handle = nullptr;
        if (libusb_open(device, &handle) != 0) {
            return false;
        }
        libusb_set_auto_detach_kernel_driver(handle, 1);
        const int claimed = libusb_claim_interface(handle, 0);
        if (claimed == 0) {
            libusb_release_interface(handle, 0);
        }
        libusb_close(handle);
        return claimed == LIBUSB_ERROR_BUSY;
    }
    return false;
}

std::unique_ptr<UsbFifo> openBoard(const BoardOnBus& board, OpenOutcome& outcome) {
    Context context(ftdi_new());
    outcome = OpenOutcome::Failed;
    if (!context) {
        return nullptr;
    }
    // The kernel's serial driver, when it holds the device, gets it back at close.
    ftdi_set_interface(context.get(), INTERFACE_A);
    context->module_detach_mode = AUTO_DETACH_REATACH_SIO_MODULE;
    DeviceList list;
    libusb_device* chosen = nullptr;
    for (libusb_device* device : fifoDevices(context.get(), list)) {
        if (libusb_get_bus_number(device) == board.bus &&
            libusb_get_device_address(device) == board.address) {
            chosen = device;
        }
    }
    if (chosen == nullptr) {
        outcome = OpenOutcome::NotFound;
        return nullptr;
    }
    const int opened = ftdi_usb_open_dev(context.get(), chosen);
    list.reset();
    if (opened == -5) {
        // The interface is claimed: another program holds the board.
        outcome = OpenOutcome::Busy;
        return nullptr;
    }
    if (opened < 0) {
        return nullptr;
    }
    context->usb_read_timeout = FETCH_TIMEOUT_MS;
    ftdi_read_data_set_chunksize(context.get(), READ_CHUNK_BYTES);
    // The FIFO mode the chip's EEPROM sets, a short latency, nothing left from before.
    if (ftdi_set_bitmode(context.get(), 0xFF, BITMODE_RESET) < 0 ||
        ftdi_set_latency_timer(context.get(), LATENCY_MS) < 0 ||
        ftdi_tcioflush(context.get()) < 0) {
        ftdi_usb_close(context.get());
        return nullptr;
    }
    outcome = OpenOutcome::Opened;
    return std::make_unique<FtdiFifo>(std::move(context));
}

}  // namespace kaptor::usbd2xx
