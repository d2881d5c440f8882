#include "platform/library_loader.h"

#include <dlfcn.h>

namespace kaptor::platform {

SystemLibraryLoader::SystemLibraryLoader(std::function<const char*(const char*)> getenv)
    : getenv_(std::move(getenv)) {}

LibraryHandle SystemLibraryLoader::load(std::string_view name) {
    const std::string host = hostLibraryName(name, getenv_);
    // Loading again hands back the library that is already loaded; it is never unloaded.
    return ::dlopen(host.c_str(), RTLD_NOW | RTLD_LOCAL);
}

SymbolAddress SystemLibraryLoader::symbol(LibraryHandle library, const char* name) {
    return library == nullptr ? nullptr : ::dlsym(library, name);
}

}  // namespace kaptor::platform
