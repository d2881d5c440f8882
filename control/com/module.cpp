#include "control/com/module.h"

#include <atomic>

namespace kaptor::com::module {
namespace {

HINSTANCE moduleInstance = nullptr;
std::atomic<long> liveObjects{0};
std::atomic<long> serverLocks{0};

}  // namespace

void setInstance(HINSTANCE instance) {
    moduleInstance = instance;
}

HINSTANCE instance() {
    return moduleInstance;
}

std::wstring path() {
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            ::GetModuleFileNameW(moduleInstance, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) {
            return {};
        }
        if (length < buffer.size()) {
            buffer.resize(length);
            return buffer;
        }
        buffer.resize(buffer.size() * 2);
    }
}

std::wstring loadString(UINT id) {
    // With a zero length LoadStringW hands out a pointer to the resource's own text.
    const wchar_t* text = nullptr;
    const int length = ::LoadStringW(moduleInstance, id, reinterpret_cast<LPWSTR>(&text), 0);
    return length > 0 ? std::wstring(text, static_cast<std::size_t>(length)) : std::wstring();
}

void objectCreated() {
    ++liveObjects;
}

void objectDestroyed() {
    --liveObjects;
}

void lock() {
    ++serverLocks;
}

void unlock() {
    // One unlock too many must not hold the module for good: the count stops at zero.
    long held = serverLocks.load();
    while (held > 0 && !serverLocks.compare_exchange_weak(held, held - 1)) {
    }
}

bool canUnload() {
    return liveObjects == 0 && serverLocks == 0;
}

}  // namespace kaptor::com::module
