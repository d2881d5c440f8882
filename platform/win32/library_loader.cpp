// Windows: LoadLibraryA and GetProcAddress.
#include "platform/library_loader.h"

#include <windows.h>

#include <cstring>
#include <string>

namespace kaptor::platform {

SystemLibraryLoader::SystemLibraryLoader(std::function<const char*(const char*)> getenv)
    : getenv_(std::move(getenv)) {}

namespace {

// The system's own words for an error code, without the line break it ends them with.
std::string systemMessage(DWORD code) {
    char* text = nullptr;
    const DWORD length = ::FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string message = length > 0 ? std::string(text, length) : "error " + std::to_string(code);
    ::LocalFree(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r')) {
        message.pop_back();
    }
    return message;
}

}  // namespace

LibraryHandle SystemLibraryLoader::load(std::string_view name) {
    lastTried_ = hostLibraryName(name, getenv_);
    // A missing library fails quietly instead of the system asking the person about it. Loading
    // again hands back the library already loaded; it is never unloaded.
    const UINT previous = ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    HMODULE library = ::LoadLibraryA(lastTried_.c_str());
    lastError_ = library == nullptr ? systemMessage(::GetLastError()) : std::string();
    ::SetErrorMode(previous);
    return library;
}

SymbolAddress SystemLibraryLoader::symbol(LibraryHandle library, const char* name) {
    if (library == nullptr) {
        return nullptr;
    }
    const FARPROC function = ::GetProcAddress(static_cast<HMODULE>(library), name);
    // A function address travels as an object pointer, as dlsym hands it out.
    SymbolAddress address = nullptr;
    static_assert(sizeof address == sizeof function);
    std::memcpy(&address, &function, sizeof address);
    return address;
}

}  // namespace kaptor::platform
