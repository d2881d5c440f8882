// Loads libraries as the system does; when one does not load, hands the file that was tried and
// the loader's own words to the host, which tells them to the person in its own way before the
// control shows its message.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "platform/library_loader.h"

namespace kaptor::host {

class ExplainingLibraryLoader : public platform::LibraryLoader {
  public:
    using Explain = std::function<void(const std::string& tried, const std::string& why)>;

    ExplainingLibraryLoader(std::function<const char*(const char*)> getenv, Explain explain)
        : inner_(std::move(getenv)), explain_(std::move(explain)) {}

    platform::LibraryHandle load(std::string_view name) override {
        platform::LibraryHandle library = inner_.load(name);
        if (library == nullptr) {
            explain_(inner_.lastTried(), inner_.lastError());
        }
        return library;
    }
    platform::SymbolAddress symbol(platform::LibraryHandle library, const char* name) override {
        return inner_.symbol(library, name);
    }

  private:
    platform::SystemLibraryLoader inner_;
    Explain explain_;
};

}  // namespace kaptor::host
