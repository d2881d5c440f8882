// The real clock, asked between the reads of a capture whether the program wants it stopped:
// the acquisition reads the clock after every read, so a cancellation check there ends a
// capture after its current read without any change to the control.
#pragma once

#include <functional>
#include <utility>

#include "platform/clock.h"

namespace kaptor::host {

// Thrown out of the control when the check says stop.
struct CaptureCancelled {};

class InterruptibleClock : public platform::Clock {
  public:
    std::int64_t nowMicros() override {
        if (cancelled_ && cancelled_()) {
            throw CaptureCancelled{};
        }
        return inner_.nowMicros();
    }
    void sleepMicros(std::int64_t micros) override { inner_.sleepMicros(micros); }

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
    platform::RealClock inner_;
    std::function<bool()> cancelled_;
};

}  // namespace kaptor::host
