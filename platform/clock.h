// Time as the control reads it: the C runtime's clock (1000 ticks per second) and Sleep. The
// real clock counts from its creation; the virtual clock only moves when somebody sleeps on it
// or advances it, so a 3-second time-out costs a test no time at all.
#pragma once

#include <chrono>
#include <cstdint>

namespace kaptor::platform {

class Clock {
  public:
    virtual ~Clock() = default;
    virtual std::int64_t nowMicros() = 0;
    virtual void sleepMicros(std::int64_t micros) = 0;

    // Milliseconds, as the C runtime's clock() with 1000 ticks per second.
    std::int64_t clock() { return nowMicros() / 1000; }
    void Sleep(std::uint32_t milliseconds) { sleepMicros(std::int64_t{milliseconds} * 1000); }
};

class RealClock : public Clock {
  public:
    std::int64_t nowMicros() override;
    void sleepMicros(std::int64_t micros) override;

  private:
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

class VirtualClock : public Clock {
  public:
    std::int64_t nowMicros() override { return now_; }
    void sleepMicros(std::int64_t micros) override {
        if (micros > 0) {
            now_ += micros;
        }
    }
    void advanceMillis(std::int64_t milliseconds) { sleepMicros(milliseconds * 1000); }

  private:
    std::int64_t now_ = 0;
};

}  // namespace kaptor::platform
