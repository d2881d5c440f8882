// Windows: LoadLibraryA and GetProcAddress.
#include "platform/library_loader.h"

#include <windows.h>

#include <cstring>

namespace kaptor::platform {

SystemLibraryLoader::SystemLibraryLoader(std::function<const char*(const char*)> getenv)
    : getenv_(std::move(getenv)) {}

LibraryHandle SystemLibraryLoader::load(std::string_view name) {
    const std::string host = hostLibraryName(name, getenv_);
    // A missing library fails quietly instead of the system asking the person about it. Loading
    // again hands back the library already loaded; it is never unloaded.
    const UINT previous = ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    HMODULE library = ::LoadLibraryA(host.c_str());
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
