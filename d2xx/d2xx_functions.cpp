#include "d2xx/d2xx_functions.h"

#include <cstdint>
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

// The devices this process has open, by handle, with the board each is. Every open gets a new
// handle, so that one kept after its close never reaches a device opened later.
class OpenDevices {
  public:
    FT_HANDLE add(std::unique_ptr<FifoDevice> device, const BoardOnBus& board) {
        const std::lock_guard lock(mutex_);
        const auto handle = reinterpret_cast<FT_HANDLE>(nextHandle_++);
        devices_[handle] = std::move(device);
        boards_[handle] = board;
        return handle;
    }
    std::shared_ptr<FifoDevice> find(FT_HANDLE handle) {
        const std::lock_guard lock(mutex_);
        const auto it = devices_.find(handle);
        return it == devices_.end() ? nullptr : it->second;
    }
    // The handle this process holds the board by, or nullptr.
    FT_HANDLE handleOf(const BoardOnBus& board) {
        const std::lock_guard lock(mutex_);
        for (const auto& [handle, open] : boards_) {
            if (open.bus == board.bus && open.address == board.address) {
                return handle;
            }
        }
        return nullptr;
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
        boards_.erase(handle);
        return true;
    }

  private:
    std::mutex mutex_;
    std::map<FT_HANDLE, std::shared_ptr<FifoDevice>> devices_;
    std::map<FT_HANDLE, BoardOnBus> boards_;
    std::uintptr_t nextHandle_ = 0x1000;
};

// The vendor's device type numbers of the chips.
DWORD deviceType(std::uint16_t product) {
    switch (product) {
        case 0x6001:
            return 5;  // FT232R and FT245R
        case 0x6010:
            return 6;  // FT2232H
        case 0x6015:
            return 9;  // the X series
        default:
            return FT_DEVICE_232H;
    }
}

// The boards as FT_CreateDeviceInfoList last found them, for FT_GetDeviceInfoDetail.
struct DeviceInfoList {
    std::mutex mutex;
    std::vector<BoardOnBus> boards;
};

DeviceInfoList& deviceInfoList() {
    static DeviceInfoList list;
    return list;
}

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
            *handle = openDevices().add(std::make_unique<FifoDevice>(std::move(fifo)), board);
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

// The vendor's buffers hold 64 bytes (16 for a serial number in the information list).
void copyName(const std::string& name, void* out, std::size_t size = 64) {
    std::strncpy(static_cast<char*>(out), name.c_str(), size - 1);
    static_cast<char*>(out)[size - 1] = '\0';
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

FT_STATUS D2XX_API createDeviceInfoList(DWORD* count) {
    if (count == nullptr) {
        return d2xx::FT_INVALID_PARAMETER;
    }
    DeviceInfoList& list = deviceInfoList();
    const std::lock_guard lock(list.mutex);
    list.boards = findBoards();
    *count = static_cast<DWORD>(list.boards.size());
    return d2xx::FT_OK;
}

FT_STATUS D2XX_API getDeviceInfoDetail(DWORD index, DWORD* flags, DWORD* type, DWORD* id,
                                       DWORD* locId, void* serial, void* description,
                                       FT_HANDLE* handle) {
    DeviceInfoList& list = deviceInfoList();
    const std::lock_guard lock(list.mutex);
    if (index >= list.boards.size()) {
        return d2xx::FT_DEVICE_NOT_FOUND;
    }
    const BoardOnBus& board = list.boards[index];
    const FT_HANDLE ours = openDevices().handleOf(board);
    const bool open = ours != nullptr || heldElsewhere(board);
    const auto fill = [](auto* out, DWORD value) {
        if (out != nullptr) {
            *out = value;
        }
    };
    fill(flags, open ? FT_FLAGS_OPENED : 0);
    fill(type, deviceType(board.product));
    fill(id, static_cast<DWORD>(FTDI_VENDOR) << 16 | board.product);
    fill(locId, static_cast<DWORD>(board.bus) << 16 | static_cast<DWORD>(board.address));
    if (serial != nullptr) {
        copyName(board.serial, serial, 16);
    }
    if (description != nullptr) {
        copyName(board.description, description);
    }
    if (handle != nullptr) {
        *handle = ours;
    }
    return d2xx::FT_OK;
}

}  // namespace abi
}  // namespace kaptor::usbd2xx
