// The D2XX surface of the simulated board: the ten functions on one device, with handles, the
// device lock, time-outs and the trace of every call.
#include "boardsim/board.h"

#include <algorithm>
#include <cstring>

namespace kaptor::boardsim {

bool Board::validHandle(FT_HANDLE handle) const {
    return open_ && reinterpret_cast<std::uintptr_t>(handle) == handle_;
}

FT_STATUS Board::opened(FT_HANDLE* handle) {
    if (config_.faults.noDevice) {
        return d2xx::FT_DEVICE_NOT_FOUND;
    }
    if (open_) {
        // The driver refuses a second open of a device that is open.
        return d2xx::FT_DEVICE_NOT_OPENED;
    }
    if (handle == nullptr) {
        return d2xx::FT_INVALID_PARAMETER;
    }
    if (!trace_.failure().empty()) {
        // A run asked for a trace gets one, or no device.
        return d2xx::FT_DEVICE_NOT_OPENED;
    }
    if (!config_.lockPath.empty()) {
        std::string error;
        lock_ = platform::FileLock::acquire(config_.lockPath, platform::FileLock::Wait::No, error);
        if (!error.empty()) {
            std::fprintf(stderr, "kaptorsim: KAPTOR_SIM_LOCK: cannot open %s (%s)\n",
                         config_.lockPath.c_str(), error.c_str());
        }
        if (!lock_) {
            // Another process holds the device, or the lock cannot be taken.
            return d2xx::FT_DEVICE_NOT_OPENED;
        }
    }
    open_ = true;
    handle_ = nextHandle_++;
    readTimeoutMs_ = config_.defaultTimeoutMs;
    *handle = reinterpret_cast<FT_HANDLE>(handle_);
    return d2xx::FT_OK;
}

FT_STATUS Board::openByDescription(const char* description, FT_HANDLE* handle) {
    const bool matches = description != nullptr && config_.description == description;
    const FT_STATUS status = matches ? opened(handle) : d2xx::FT_DEVICE_NOT_FOUND;
    trace_.line(std::string("FT_OpenEx ") + (description ? description : "(null)") + " -> " +
                std::to_string(status));
    return status;
}

FT_STATUS Board::openByIndex(int index, FT_HANDLE* handle) {
    const FT_STATUS status = index == 0 ? opened(handle) : d2xx::FT_DEVICE_NOT_FOUND;
    trace_.line("FT_Open " + std::to_string(index) + " -> " + std::to_string(status));
    return status;
}

FT_STATUS Board::listDevices(void* arg1, void* arg2, DWORD flags) {
    trace_.line("FT_ListDevices " + std::to_string(flags));
    const DWORD present = config_.faults.noDevice ? 0 : 1;
    if ((flags & d2xx::FT_LIST_NUMBER_ONLY) != 0 && arg1 != nullptr) {
        *static_cast<DWORD*>(arg1) = present;
        return d2xx::FT_OK;
    }
    if ((flags & d2xx::FT_LIST_BY_INDEX) != 0 && (flags & d2xx::FT_OPEN_BY_DESCRIPTION) != 0 &&
        arg2 != nullptr) {
        const auto index = static_cast<DWORD>(reinterpret_cast<std::uintptr_t>(arg1));
        if (index >= present) {
            return d2xx::FT_DEVICE_NOT_FOUND;
        }
        std::strncpy(static_cast<char*>(arg2), config_.description.c_str(), 64);
        static_cast<char*>(arg2)[63] = '\0';
        return d2xx::FT_OK;
    }
    return d2xx::FT_INVALID_PARAMETER;
}

FT_STATUS Board::close(FT_HANDLE handle) {
    trace_.line("FT_Close");
    if (!validHandle(handle)) {
        return d2xx::FT_INVALID_HANDLE;
    }
    open_ = false;
    lock_.reset();
    return d2xx::FT_OK;
}

FT_STATUS Board::read(FT_HANDLE handle, void* buffer, DWORD count, DWORD* received) {
    ++readCalls_;
    if (received != nullptr) {
        *received = 0;
    }
    const auto traceRead = [this, count](const std::string& outcome) {
        if (trace_.enabled()) {
            trace_.line("FT_Read " + std::to_string(count) + " -> " + outcome);
        }
    };
    if (!validHandle(handle) || received == nullptr || (buffer == nullptr && count > 0)) {
        traceRead("invalid");
        return d2xx::FT_INVALID_HANDLE;
    }
    if (disconnected()) {
        traceRead("4");
        return d2xx::FT_IO_ERROR;
    }
    const std::int64_t deadline = clock_.nowMicros() + std::int64_t{readTimeoutMs_} * 1000;
    for (;;) {
        update();
        const std::int64_t now = clock_.nowMicros();
        if (queued() >= count || now >= deadline || disconnected()) {
            break;
        }
        const std::int64_t until = microsUntilQueued(count);
        const std::int64_t wake = until < 0 ? deadline : std::min(deadline, now + until);
        clock_.sleepMicros(wake - now);
    }
    if (disconnected()) {
        traceRead("4");
        return d2xx::FT_IO_ERROR;
    }
    const std::size_t n = queue_.pop(static_cast<std::uint8_t*>(buffer), count);
    *received = static_cast<DWORD>(n);
    const FT_STATUS status = config_.faults.readStatus.value_or(d2xx::FT_OK);
    traceRead(std::to_string(status) + " " + std::to_string(n));
    return status;
}

FT_STATUS Board::write(FT_HANDLE handle, const void* buffer, DWORD count, DWORD* written) {
    ++writeCalls_;
    const auto* bytes = static_cast<const std::uint8_t*>(buffer);
    if (trace_.enabled()) {
        trace_.line("FT_Write" + hexBytes(bytes, buffer == nullptr ? 0 : count));
    }
    if (written != nullptr) {
        *written = 0;
    }
    if (!validHandle(handle) || written == nullptr || (buffer == nullptr && count > 0)) {
        return d2xx::FT_INVALID_HANDLE;
    }
    if (disconnected()) {
        return d2xx::FT_IO_ERROR;
    }
    if (config_.faults.writeZeroAt == writeCalls_) {
        return d2xx::FT_OK;
    }
    receiveCommand(bytes, count);
    *written = count;
    return d2xx::FT_OK;
}

FT_STATUS Board::resetDevice(FT_HANDLE handle) {
    trace_.line("FT_ResetDevice");
    if (!validHandle(handle)) {
        return d2xx::FT_INVALID_HANDLE;
    }
    resetReceive();
    return d2xx::FT_OK;
}

FT_STATUS Board::purge(FT_HANDLE handle, DWORD mask) {
    trace_.line("FT_Purge " + std::to_string(mask));
    if (!validHandle(handle)) {
        return d2xx::FT_INVALID_HANDLE;
    }
    if ((mask & d2xx::FT_PURGE_RX) != 0) {
        purgeReceive();
    } else {
        update();
    }
    return d2xx::FT_OK;
}

FT_STATUS Board::setTimeouts(FT_HANDLE handle, DWORD readTimeout, DWORD writeTimeout) {
    trace_.line("FT_SetTimeouts " + std::to_string(readTimeout) + " " +
                std::to_string(writeTimeout));
    if (!validHandle(handle)) {
        return d2xx::FT_INVALID_HANDLE;
    }
    // Writes never wait on the board, so only the read time-out matters here.
    readTimeoutMs_ = readTimeout;
    return d2xx::FT_OK;
}

FT_STATUS Board::getQueueStatus(FT_HANDLE handle, DWORD* queuedBytes) {
    const auto traceStatus = [this](const std::string& outcome) {
        if (trace_.enabled()) {
            trace_.line("FT_GetQueueStatus -> " + outcome);
        }
    };
    if (!validHandle(handle) || queuedBytes == nullptr) {
        traceStatus("invalid");
        return d2xx::FT_INVALID_HANDLE;
    }
    if (config_.faults.queueStatusFails || disconnected()) {
        traceStatus("4");
        return d2xx::FT_IO_ERROR;
    }
    update();
    *queuedBytes = static_cast<DWORD>(queued());
    traceStatus("0 " + std::to_string(*queuedBytes));
    return d2xx::FT_OK;
}

}  // namespace kaptor::boardsim
