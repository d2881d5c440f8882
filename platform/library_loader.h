// "Load a library by name, look up a function by name". The name "Ftd2xx.dll" stands for the
// D2XX library: KAPTOR_D2XX_LIBRARY when set, else the system's libftd2xx.so. A loaded library
// stays loaded until the process ends, as on the original platform.
#pragma once

#include <functional>
#include <map>
#include <set>
#include <string>
#include <string_view>

namespace kaptor::platform {

using LibraryHandle = void*;
using SymbolAddress = void*;

class LibraryLoader {
  public:
    virtual ~LibraryLoader() = default;
    // nullptr when the library cannot be loaded.
    virtual LibraryHandle load(std::string_view name) = 0;
    // nullptr when the library has no such function.
    virtual SymbolAddress symbol(LibraryHandle library, const char* name) = 0;
};

// The host name a library name stands for: "Ftd2xx.dll" (any case) maps to the D2XX library.
std::string hostLibraryName(std::string_view name,
                            const std::function<const char*(const char*)>& getenv);

class SystemLibraryLoader : public LibraryLoader {
  public:
    explicit SystemLibraryLoader(std::function<const char*(const char*)> getenv);
    LibraryHandle load(std::string_view name) override;
    SymbolAddress symbol(LibraryHandle library, const char* name) override;

    // The host library the last load tried, and the loader's own words when it failed.
    const std::string& lastTried() const { return lastTried_; }
    const std::string& lastError() const { return lastError_; }

  private:
    std::function<const char*(const char*)> getenv_;
    std::string lastTried_;
    std::string lastError_;
};

// Libraries held in this process: each name maps to a table of functions. Functions can be
// hidden, to stand for a library that lacks them.
class InProcessLibraryLoader : public LibraryLoader {
  public:
    void add(std::string_view libraryName, std::map<std::string, SymbolAddress> functions);
    void hide(std::string_view libraryName, const std::string& function);

    LibraryHandle load(std::string_view name) override;
    SymbolAddress symbol(LibraryHandle library, const char* name) override;

  private:
    struct Library {
        std::map<std::string, SymbolAddress> functions;
        std::set<std::string> hidden;
    };
    Library* find(std::string_view name);

    std::map<std::string, Library> libraries_;
};

}  // namespace kaptor::platform
