#include "boardsim/board.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "control/board_commands.h"

namespace kaptor::boardsim {
namespace {

constexpr std::uint8_t ANNOUNCE_BYTE = 0xA5;

}  // namespace

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

bool Board::disconnected() const {
    return config_.faults.disconnectAt && frameBytesSent_ >= *config_.faults.disconnectAt;
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

void Board::receiveCommand(const std::uint8_t* bytes, std::size_t count) {
    update();
    parser_.feed(bytes, count);
}

std::size_t Board::takeQueued(std::uint8_t* out, std::size_t count) {
    update();
    return queue_.pop(out, count);
}

std::size_t Board::queuedNow() {
    update();
    return queued();
}

void Board::resetReceive() {
    // The receive queue empties; a frame on its way goes on coming.
    update();
    emptyQueue();
}

void Board::purgeReceive() {
    update();
    emptyQueue();
    // An idle board answers a purge with one byte that says it is there.
    if (sent_ >= sendEnd_ && !config_.faults.silent) {
        queue_.push(ANNOUNCE_BYTE);
    }
}

}  // namespace kaptor::boardsim
