// The simulated frame grabber behind its USB FIFO: the board model (command bytes in, a receive
// queue filled at the link's rate up to the driver's buffer, and on 'A' one frame of the picture
// source) and its D2XX surface, the calls as a real driver answers them (board_d2xx.cpp). The
// USB surface (usb_surface.cpp) drives the same model through its public operations.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "boardsim/board_registers.h"
#include "boardsim/picture_source.h"
#include "boardsim/sim_config.h"
#include "boardsim/sim_files.h"
#include "control/d2xx.h"
#include "platform/byte_ring.h"
#include "platform/clock.h"
#include "platform/file_lock.h"

namespace kaptor::boardsim {

using d2xx::DWORD;
using d2xx::FT_HANDLE;
using d2xx::FT_STATUS;

// One line per call, appended to a file.
class Trace {
  public:
    explicit Trace(const std::string& path);
    bool enabled() const { return file_ != nullptr; }
    // Why the trace asked for cannot be written (the device then does not open); empty when it
    // can, or when none was asked for.
    const std::string& failure() const { return failure_; }
    void line(const std::string& text);

  private:
    OpenFile file_;
    std::string failure_;
};

// The bytes as " 42 02 80", for trace lines.
std::string hexBytes(const std::uint8_t* bytes, std::size_t count);

class Board {
  public:
    Board(SimConfig config, platform::Clock& clock, std::unique_ptr<PictureSource> source);

    FT_STATUS openByDescription(const char* description, FT_HANDLE* handle);
    FT_STATUS openByIndex(int index, FT_HANDLE* handle);
    FT_STATUS listDevices(void* arg1, void* arg2, DWORD flags);
    FT_STATUS close(FT_HANDLE handle);
    FT_STATUS read(FT_HANDLE handle, void* buffer, DWORD count, DWORD* received);
    FT_STATUS write(FT_HANDLE handle, const void* buffer, DWORD count, DWORD* written);
    FT_STATUS resetDevice(FT_HANDLE handle);
    FT_STATUS purge(FT_HANDLE handle, DWORD mask);
    FT_STATUS setTimeouts(FT_HANDLE handle, DWORD readTimeout, DWORD writeTimeout);
    FT_STATUS getQueueStatus(FT_HANDLE handle, DWORD* queued);

    // The board model, for a surface of its own: command bytes from the host; the bytes sent by
    // now taken from the queue; the queue emptied (by a reset; by a purge, after which an idle
    // board announces itself); whether the device is gone.
    void receiveCommand(const std::uint8_t* bytes, std::size_t count);
    std::size_t takeQueued(std::uint8_t* out, std::size_t count);
    std::size_t queuedNow();
    void resetReceive();
    void purgeReceive();
    bool disconnected() const;
    void traceLine(const std::string& text) { trace_.line(text); }
    const SimConfig& config() const { return config_; }

    // For tests and tools; faults can change while the board runs (a cable pulled now).
    FaultPlan& faults() { return config_.faults; }
    const BoardRegisters& registers() const { return registers_; }
    // The command frames received, in order: the first FRAME_RECORD_LIMIT of them, so that a
    // board kept open by a long-running program does not grow without end.
    const std::vector<std::vector<std::uint8_t>>& frames() const { return frames_; }
    static constexpr std::size_t FRAME_RECORD_LIMIT = 10000;
    const std::string& traceFailure() const { return trace_.failure(); }
    std::uint64_t capturesStarted() const { return captures_; }
    std::uint64_t writes() const { return writeCalls_; }
    std::uint64_t reads() const { return readCalls_; }
    bool isOpen() const { return open_; }
    std::size_t queued() const { return queue_.size(); }

  private:
    bool validHandle(FT_HANDLE handle) const;
    FT_STATUS opened(FT_HANDLE* handle);
    // Moves the bytes the board has sent by now into the receive queue.
    void update();
    // Microseconds until count bytes are waiting, from now; negative when they never will be.
    std::int64_t microsUntilQueued(std::size_t count) const;
    void startCapture();
    void emptyQueue();
    void onFrame(const std::vector<std::uint8_t>& frame);
    void record(std::vector<std::uint8_t> frame);

    SimConfig config_;
    platform::Clock& clock_;
    std::unique_ptr<PictureSource> source_;
    Trace trace_;
    CommandParser parser_;
    BoardRegisters registers_;
    std::vector<std::vector<std::uint8_t>> frames_;

    bool open_ = false;
    std::uintptr_t handle_ = 0;  // a new value at every open, so old handles stay invalid
    std::uintptr_t nextHandle_ = 0x1000;
    DWORD readTimeoutMs_;

    std::unique_ptr<platform::FileLock> lock_;  // held while open, when the device has a lock file

    platform::ByteRing queue_;
    FrameBytes sending_;       // the frame on its way
    std::size_t sendEnd_ = 0;  // bytes of it the board sends (a short frame stops early)
    std::size_t sent_ = 0;
    std::int64_t sendStartMicros_ = 0;
    std::int64_t lastUpdateMicros_ = 0;
    double credit_ = 0;
    std::uint64_t frameBytesSent_ = 0;  // over the device's life, for disconnect-at

    std::uint64_t captures_ = 0;
    std::uint64_t writeCalls_ = 0;
    std::uint64_t readCalls_ = 0;
};

}  // namespace kaptor::boardsim
