#include "platform/clock.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <thread>
#endif

namespace kaptor::platform {

std::int64_t RealClock::nowMicros() {
    return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() -
                                                                 start_)
        .count();
}

void RealClock::sleepMicros(std::int64_t micros) {
    if (micros <= 0) {
        return;
    }
#ifdef _WIN32
    // Sleep counts whole milliseconds; a shorter wait still waits.
    ::Sleep(static_cast<DWORD>((micros + 999) / 1000));
#else
    std::this_thread::sleep_for(std::chrono::microseconds(micros));
#endif
}

}  // namespace kaptor::platform
