#include "boardsim/board.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "control/board_commands.h"

namespace kaptor::boardsim {
namespace {

constexpr std::uint8_t ANNOUNCE_BYTE = 0xA5;

std::string hexBytes(const std::uint8_t* bytes, std::size_t count) {
    static constexpr char DIGITS[] = "0123456789ABCDEF";
    std::string out;
    for (std::size_t i = 0; i < count; ++i) {
        out += ' ';
        out += DIGITS[bytes[i] >> 4];
        out += DIGITS[bytes[i] & 15];
    }
    return out;
}

}  // namespace

Trace::Trace(const std::string& path) {
    if (!path.empty()) {
        file_ = openForAppending(path, failure_);
    }
}

void Trace::line(const std::string& text) {
    if (file_) {
        std::fputs(text.c_str(), file_.get());
        std::fputc('\n', file_.get());
        std::fflush(file_.get());
    }
}

Board::Board(SimConfig config, platform::Clock& clock, std::unique_ptr<PictureSource> source)
    : config_(std::move(config)),
      clock_(clock),
      source_(source ? std::move(source) : makeSampledSource(makeTestChart())),
      trace_(config_.tracePath),
      parser_([this](const std::vector<std::uint8_t>& frame) { onFrame(frame); },
              [this](std::uint8_t byte) {
                  trace_.line("BOARD unknown command byte" + hexBytes(&byte, 1));
              }),
      readTimeoutMs_(config_.defaultTimeoutMs) {
    registers_.frontEnd[7] = 128;
    registers_.frontEnd[10] = 64;
}

bool Board::validHandle(FT_HANDLE handle) const {
    return open_ && reinterpret_cast<std::uintptr_t>(handle) == handle_;
}

bool Board::disconnected() const {
    return config_.faults.disconnectAt && frameBytesSent_ >= *config_.faults.disconnectAt;
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

void Board::update() {
    const std::int64_t now = clock_.nowMicros();
    if (sent_ >= sendEnd_ || now <= sendStartMicros_) {
        lastUpdateMicros_ = std::max(lastUpdateMicros_, now);
        return;
    }
    const std::int64_t from = std::max(lastUpdateMicros_, sendStartMicros_);
    lastUpdateMicros_ = now;
    credit_ += static_cast<double>(now - from) * config_.bytesPerSecond / 1e6;
    const std::size_t room = config_.driverBuffer - std::min(config_.driverBuffer, queued());
    const auto affordable = static_cast<std::size_t>(credit_);
    std::size_t n = std::min({affordable, sendEnd_ - sent_, room});
    if (config_.faults.disconnectAt) {
        // Nothing arrives from a device that is gone.
        n = static_cast<std::size_t>(std::min<std::uint64_t>(
            n, *config_.faults.disconnectAt -
                   std::min(*config_.faults.disconnectAt, frameBytesSent_)));
    }
    // A full driver buffer stalls the board: the time it waits is lost, not saved up.
    credit_ = n < affordable ? 0 : credit_ - static_cast<double>(n);
    if (n > 0) {
        queue_.push(sending_->data() + sent_, n);
    }
    sent_ += n;
    frameBytesSent_ += n;
}

std::int64_t Board::microsUntilQueued(std::size_t count) const {
    const std::size_t waiting = queued();
    if (waiting >= count) {
        return 0;
    }
    const std::size_t missing = count - waiting;
    if (sendEnd_ - sent_ < missing) {
        return -1;
    }
    const std::int64_t now = clock_.nowMicros();
    const double bytesNeeded = static_cast<double>(missing) - credit_;
    const auto micros = static_cast<std::int64_t>(
        std::ceil(std::max(bytesNeeded, 0.0) * 1e6 / config_.bytesPerSecond));
    return std::max<std::int64_t>(sendStartMicros_ - now, 0) + std::max<std::int64_t>(micros, 1);
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
    update();
    parser_.feed(bytes, count);
    *written = count;
    return d2xx::FT_OK;
}

void Board::onFrame(const std::vector<std::uint8_t>& frame) {
    if (frame[0] == control::CMD_CAPTURE) {
        startCapture();
        return;
    }
    applyFrame(registers_, frame);
    record(frame);
}

void Board::record(std::vector<std::uint8_t> frame) {
    if (frames_.size() < FRAME_RECORD_LIMIT) {
        frames_.push_back(std::move(frame));
    }
}

void Board::startCapture() {
    record({control::CMD_CAPTURE});
    sending_ = source_->frame(registers_, captures_++);
    sendEnd_ = sending_->size();
    if (config_.faults.shortFrame && *config_.faults.shortFrame < sendEnd_) {
        sendEnd_ = static_cast<std::size_t>(*config_.faults.shortFrame);
    }
    sent_ = 0;
    credit_ = 0;
    // The frame begins with the next field.
    sendStartMicros_ = clock_.nowMicros() + config_.frameStartMicros;
    lastUpdateMicros_ = sendStartMicros_;
    trace_.line("BOARD capture " + std::to_string(sendEnd_) + " bytes, " +
                describeRegisters(registers_));
}

void Board::emptyQueue() {
    queue_.clear();
}

FT_STATUS Board::resetDevice(FT_HANDLE handle) {
    trace_.line("FT_ResetDevice");
    if (!validHandle(handle)) {
        return d2xx::FT_INVALID_HANDLE;
    }
    // The receive queue empties; a frame on its way goes on coming.
    update();
    emptyQueue();
    return d2xx::FT_OK;
}

FT_STATUS Board::purge(FT_HANDLE handle, DWORD mask) {
    trace_.line("FT_Purge " + std::to_string(mask));
    if (!validHandle(handle)) {
        return d2xx::FT_INVALID_HANDLE;
    }
    update();
    if ((mask & d2xx::FT_PURGE_RX) != 0) {
        emptyQueue();
        // An idle board answers a purge with one byte that says it is there.
        if (sent_ >= sendEnd_ && !config_.faults.silent) {
            queue_.push(ANNOUNCE_BYTE);
        }
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
