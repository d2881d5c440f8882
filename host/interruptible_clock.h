// The real clock, asked between the reads of a capture whether the program wants it stopped:
// the acquisition reads the clock after every read, so a cancellation check there ends a
// capture after its current read without any change to the control; the board's settling wait
// before the frame is asked too, a slice at a time.
#pragma once

#include <algorithm>
#include <functional>
#include <utility>

#include "platform/clock.h"

namespace kaptor::host {

// Thrown out of the control when the check says stop.
struct CaptureCancelled {};

class InterruptibleClock : public platform::Clock {
  public:
    std::int64_t nowMicros() override {
        check();
        return inner_.nowMicros();
    }
    // With a check in force the wait is cut into slices and the check asked between them, so
    // that a stop asked for while the board settles takes effect within a slice, not after it.
    void sleepMicros(std::int64_t micros) override {
        if (!cancelled_) {
            inner_.sleepMicros(micros);
            return;
        }
        const std::int64_t until = inner_.nowMicros() + micros;
        for (std::int64_t left = micros; left > 0; left = until - inner_.nowMicros()) {
            check();
            inner_.sleepMicros(std::min(left, SLICE_MICROS));
        }
    }

    // The check in force until the returned guard goes.
    class Armed {
      public:
        Armed(InterruptibleClock& clock, std::function<bool()> check) : clock_(clock) {
            clock_.cancelled_ = std::move(check);
        }
        ~Armed() { clock_.cancelled_ = nullptr; }
        Armed(const Armed&) = delete;
        Armed& operator=(const Armed&) = delete;

      private:
        InterruptibleClock& clock_;
    };

  private:
    static constexpr std::int64_t SLICE_MICROS = 20'000;

    void check() {
        if (cancelled_ && cancelled_()) {
            throw CaptureCancelled{};
        }
    }

    platform::RealClock inner_;
    std::function<bool()> cancelled_;
};

}  // namespace kaptor::host
