#include "d2xx/d2xx_functions.h"

#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "d2xx/fifo_device.h"
#include "d2xx/ftdi_bus.h"

namespace kaptor::usbd2xx {
namespace {

// The devices this process has open, by handle.
class OpenDevices {
  public:
    FT_HANDLE add(std::unique_ptr<FifoDevice> device) {
        const std::lock_guard lock(mutex_);
        const auto handle = static_cast<FT_HANDLE>(device.get());
        devices_[handle] = std::move(device);
        return handle;
    }
    std::shared_ptr<FifoDevice> find(FT_HANDLE handle) {
        const std::lock_guard lock(mutex_);
        const auto it = devices_.find(handle);
        return it == devices_.end() ? nullptr : it->second;
    }
    // The device leaves the table; it closes when its last call in flight returns.
    bool remove(FT_HANDLE handle) {
        std::shared_ptr<FifoDevice> leaving;
        const std::lock_guard lock(mutex_);
        const auto it = devices_.find(handle);
        if (it == devices_.end()) {
            return false;
        }
        leaving = std::move(it->second);
        devices_.erase(it);
        return true;
    }

  private:
    std::mutex mutex_;
    std::map<FT_HANDLE, std::shared_ptr<FifoDevice>> devices_;
};

OpenDevices& openDevices() {
    static OpenDevices devices;
    return devices;
}

// Opens the first of the candidates that is free.
FT_STATUS openFirst(const std::vector<BoardOnBus>& candidates, FT_HANDLE* handle) {
    if (handle == nullptr) {
        return d2xx::FT_INVALID_PARAMETER;
    }
    FT_STATUS status = d2xx::FT_DEVICE_NOT_FOUND;
    for (const BoardOnBus& board : candidates) {
        OpenOutcome outcome = OpenOutcome::Failed;
        auto fifo = openBoard(board, outcome);
        if (fifo) {
            *handle = openDevices().add(std::make_unique<FifoDevice>(std::move(fifo)));
            return d2xx::FT_OK;
        }
        if (outcome != OpenOutcome::NotFound) {
            status = d2xx::FT_DEVICE_NOT_OPENED;
        }
    }
    return status;
}

std::vector<BoardOnBus> matching(const std::string& description, const std::string& serial) {
    std::vector<BoardOnBus> found;
    for (BoardOnBus& board : findBoards()) {
        if ((description.empty() || board.description == description) &&
            (serial.empty() || board.serial == serial)) {
            found.push_back(std::move(board));
        }
    }
    return found;
}

void copyName(const std::string& name, void* out) {
    // The vendor's buffers hold 64 bytes.
    std::strncpy(static_cast<char*>(out), name.c_str(), 63);
    static_cast<char*>(out)[63] = '\0';
}

const std::string& nameOf(const BoardOnBus& board, DWORD flags) {
    return (flags & FT_OPEN_BY_SERIAL_NUMBER) != 0 ? board.serial : board.description;
}

}  // namespace

namespace abi {

FT_STATUS D2XX_API open(int index, FT_HANDLE* handle) {
    const auto boards = findBoards();
    if (index < 0 || static_cast<std::size_t>(index) >= boards.size()) {
        return d2xx::FT_DEVICE_NOT_FOUND;
    }
    return openFirst({boards[static_cast<std::size_t>(index)]}, handle);
}

FT_STATUS D2XX_API openEx(void* arg, DWORD flags, FT_HANDLE* handle) {
    if (arg == nullptr) {
        return d2xx::FT_INVALID_PARAMETER;
    }
    const std::string name(static_cast<const char*>(arg));
    if (flags == FT_OPEN_BY_SERIAL_NUMBER) {
        return openFirst(matching("", name), handle);
    }
    if (flags == d2xx::FT_OPEN_BY_DESCRIPTION) {
        // Among several boards alike, KAPTOR_DEVICE names the one by its serial number.
        const char* wanted = std::getenv(DEVICE_VARIABLE);
        return openFirst(matching(name, wanted != nullptr ? wanted : ""), handle);
    }
    return d2xx::FT_INVALID_PARAMETER;
}

FT_STATUS D2XX_API listDevices(void* arg1, void* arg2, DWORD flags) {
    if ((flags & d2xx::FT_LIST_NUMBER_ONLY) != 0) {
        if (arg1 == nullptr) {
            return d2xx::FT_INVALID_PARAMETER;
        }
        *static_cast<DWORD*>(arg1) = static_cast<DWORD>(findBoards().size());
        return d2xx::FT_OK;
    }
    if ((flags & (d2xx::FT_OPEN_BY_DESCRIPTION | FT_OPEN_BY_SERIAL_NUMBER)) == 0) {
        return d2xx::FT_INVALID_PARAMETER;
    }
    const auto boards = findBoards();
    if ((flags & d2xx::FT_LIST_BY_INDEX) != 0) {
        const auto index = static_cast<std::size_t>(reinterpret_cast<std::uintptr_t>(arg1));
        if (arg2 == nullptr) {
            return d2xx::FT_INVALID_PARAMETER;
        }
        if (index >= boards.size()) {
            return d2xx::FT_DEVICE_NOT_FOUND;
        }
        copyName(nameOf(boards[index], flags), arg2);
        return d2xx::FT_OK;
    }
    if ((flags & FT_LIST_ALL) != 0) {
        // arg1: buffers of 64 bytes, their pointers ending with a null one; arg2: the count.
        if (arg1 == nullptr || arg2 == nullptr) {
            return d2xx::FT_INVALID_PARAMETER;
        }
        auto* const* buffers = static_cast<char* const*>(arg1);
        std::size_t i = 0;
        for (; i < boards.size() && buffers[i] != nullptr; ++i) {
            copyName(nameOf(boards[i], flags), buffers[i]);
        }
        *static_cast<DWORD*>(arg2) = static_cast<DWORD>(i);
        return d2xx::FT_OK;
    }
    return d2xx::FT_INVALID_PARAMETER;
}

FT_STATUS D2XX_API close(FT_HANDLE handle) {
    return openDevices().remove(handle) ? d2xx::FT_OK : d2xx::FT_INVALID_HANDLE;
}

FT_STATUS D2XX_API read(FT_HANDLE handle, void* buffer, DWORD count, DWORD* received) {
    const auto device = openDevices().find(handle);
    if (!device || received == nullptr || (buffer == nullptr && count > 0)) {
        return d2xx::FT_INVALID_HANDLE;
    }
    return device->read(static_cast<std::uint8_t*>(buffer), count, *received);
}

FT_STATUS D2XX_API write(FT_HANDLE handle, void* buffer, DWORD count, DWORD* written) {
    const auto device = openDevices().find(handle);
    if (!device || written == nullptr || (buffer == nullptr && count > 0)) {
        return d2xx::FT_INVALID_HANDLE;
    }
    return device->write(static_cast<const std::uint8_t*>(buffer), count, *written);
}

FT_STATUS D2XX_API resetDevice(FT_HANDLE handle) {
    const auto device = openDevices().find(handle);
    return device ? device->reset() : d2xx::FT_INVALID_HANDLE;
}

FT_STATUS D2XX_API purge(FT_HANDLE handle, DWORD mask) {
    const auto device = openDevices().find(handle);
    return device ? device->purge(mask) : d2xx::FT_INVALID_HANDLE;
}

FT_STATUS D2XX_API setTimeouts(FT_HANDLE handle, DWORD readTimeout, DWORD writeTimeout) {
    const auto device = openDevices().find(handle);
    return device ? device->setTimeouts(readTimeout, writeTimeout) : d2xx::FT_INVALID_HANDLE;
}

FT_STATUS D2XX_API getQueueStatus(FT_HANDLE handle, DWORD* queued) {
    const auto device = openDevices().find(handle);
    if (!device || queued == nullptr) {
        return d2xx::FT_INVALID_HANDLE;
    }
    return device->queueStatus(*queued);
}

}  // namespace abi
}  // namespace kaptor::usbd2xx
