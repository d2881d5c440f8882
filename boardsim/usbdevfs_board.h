// The simulated board on an emulated USB bus (umockdev): the board model behind its USB surface,
// with a handler for its device node that answers the host's usbdevfs requests. One process at
// a time holds the chip's interface, as the kernel has it.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "boardsim/board.h"
#include "boardsim/usb_surface.h"
#include "platform/clock.h"

struct _UMockdevIoctlBase;

namespace kaptor::boardsim {

class UsbdevfsBoard {
  public:
    UsbdevfsBoard(SimConfig config, platform::Clock& clock, std::unique_ptr<PictureSource> source,
                  UsbStrings strings);
    ~UsbdevfsBoard();
    UsbdevfsBoard(const UsbdevfsBoard&) = delete;
    UsbdevfsBoard& operator=(const UsbdevfsBoard&) = delete;

    // The handler to attach to the board's device node.
    _UMockdevIoctlBase* handler() const;
    // The descriptors of its sysfs entry.
    std::vector<std::uint8_t> descriptors() const;

  private:
    class Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace kaptor::boardsim
