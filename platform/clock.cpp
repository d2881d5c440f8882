#include "platform/clock.h"

#include <thread>

namespace kaptor::platform {

std::int64_t RealClock::nowMicros() {
    return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() -
                                                                 start_)
        .count();
}

void RealClock::sleepMicros(std::int64_t micros) {
    if (micros > 0) {
        std::this_thread::sleep_for(std::chrono::microseconds(micros));
    }
}

}  // namespace kaptor::platform
