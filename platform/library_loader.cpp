#include "platform/library_loader.h"

#include <dlfcn.h>

namespace kaptor::platform {

SystemLibraryLoader::SystemLibraryLoader(std::function<const char*(const char*)> getenv)
    : getenv_(std::move(getenv)) {}

LibraryHandle SystemLibraryLoader::load(std::string_view name) {
    lastTried_ = hostLibraryName(name, getenv_);
    // Loading again hands back the library that is already loaded; it is never unloaded.
    LibraryHandle library = ::dlopen(lastTried_.c_str(), RTLD_NOW | RTLD_LOCAL);
    const char* error = library == nullptr ? ::dlerror() : nullptr;
    lastError_ = error != nullptr ? error : "";
    return library;
}

SymbolAddress SystemLibraryLoader::symbol(LibraryHandle library, const char* name) {
    return library == nullptr ? nullptr : ::dlsym(library, name);
}

}  // namespace kaptor::platform
