#include "boardsim/d2xx_functions.h"

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "platform/clock.h"

namespace kaptor::boardsim {
namespace {

// The board the C functions reach. Held here because the D2XX open calls carry no context.
struct ActiveBoard {
    Board* installed = nullptr;
    std::unique_ptr<platform::RealClock> clock;
    std::unique_ptr<Board> fromEnvironment;
};

ActiveBoard& active() {
    static ActiveBoard state;
    return state;
}

Board& board() {
    ActiveBoard& state = active();
    if (state.installed != nullptr) {
        return *state.installed;
    }
    if (!state.fromEnvironment) {
        std::string error;
        SimConfig config = configFromEnvironment(std::getenv, error);
        std::unique_ptr<PictureSource> source = pictureSourceOf(config, error);
        if (!error.empty()) {
            std::fprintf(stderr, "kaptorsim: %s\n", error.c_str());
        }
        state.clock = std::make_unique<platform::RealClock>();
        state.fromEnvironment =
            std::make_unique<Board>(std::move(config), *state.clock, std::move(source));
        if (const std::string& trace = state.fromEnvironment->traceFailure(); !trace.empty()) {
            std::fprintf(stderr, "kaptorsim: KAPTOR_SIM_TRACE: %s; the device does not open\n",
                         trace.c_str());
        }
    }
    return *state.fromEnvironment;
}

}  // namespace

ScopedActiveBoard::ScopedActiveBoard(Board& b) : previous_(active().installed) {
    active().installed = &b;
}

ScopedActiveBoard::~ScopedActiveBoard() {
    active().installed = previous_;
}

namespace abi {
FT_STATUS D2XX_API open(int index, FT_HANDLE* handle) {
    return board().openByIndex(index, handle);
}
FT_STATUS D2XX_API openEx(void* arg, DWORD flags, FT_HANDLE* handle) {
    if (flags != d2xx::FT_OPEN_BY_DESCRIPTION) {
        return d2xx::FT_DEVICE_NOT_FOUND;
    }
    return board().openByDescription(static_cast<const char*>(arg), handle);
}
FT_STATUS D2XX_API listDevices(void* arg1, void* arg2, DWORD flags) {
    return board().listDevices(arg1, arg2, flags);
}
FT_STATUS D2XX_API close(FT_HANDLE handle) {
    return board().close(handle);
}
FT_STATUS D2XX_API read(FT_HANDLE handle, void* buffer, DWORD count, DWORD* received) {
    return board().read(handle, buffer, count, received);
}
FT_STATUS D2XX_API write(FT_HANDLE handle, void* buffer, DWORD count, DWORD* written) {
    return board().write(handle, buffer, count, written);
}
FT_STATUS D2XX_API resetDevice(FT_HANDLE handle) {
    return board().resetDevice(handle);
}
FT_STATUS D2XX_API purge(FT_HANDLE handle, DWORD mask) {
    return board().purge(handle, mask);
}
FT_STATUS D2XX_API setTimeouts(FT_HANDLE handle, DWORD readTimeout, DWORD writeTimeout) {
    return board().setTimeouts(handle, readTimeout, writeTimeout);
}
FT_STATUS D2XX_API getQueueStatus(FT_HANDLE handle, DWORD* queued) {
    return board().getQueueStatus(handle, queued);
}
}  // namespace abi

std::map<std::string, void*> d2xxFunctionTable() {
    const auto address = [](auto function) { return reinterpret_cast<void*>(function); };
    return {
        {"FT_Open", address(&abi::open)},
        {"FT_OpenEx", address(&abi::openEx)},
        {"FT_ListDevices", address(&abi::listDevices)},
        {"FT_Close", address(&abi::close)},
        {"FT_Read", address(&abi::read)},
        {"FT_Write", address(&abi::write)},
        {"FT_ResetDevice", address(&abi::resetDevice)},
        {"FT_Purge", address(&abi::purge)},
        {"FT_SetTimeouts", address(&abi::setTimeouts)},
        {"FT_GetQueueStatus", address(&abi::getQueueStatus)},
    };
}

}  // namespace kaptor::boardsim
