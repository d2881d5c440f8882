#include "host/simulator_library.h"

#include <dlfcn.h>

namespace kaptor::host {

std::filesystem::path simulatorBesideLibrary() {
    Dl_info info{};
    if (::dladdr(reinterpret_cast<void*>(&simulatorBesideLibrary), &info) == 0 ||
        info.dli_fname == nullptr) {
        return {};
    }
    std::error_code ec;
    const auto self = std::filesystem::weakly_canonical(info.dli_fname, ec);
    // Built into a program instead (its tests): the program lies in bin/, the library in lib/.
    for (const auto& candidate :
         {self.parent_path() / "libkaptorsim.so", self.parent_path() / "../lib/libkaptorsim.so"}) {
        if (std::filesystem::is_regular_file(candidate, ec)) {
            return std::filesystem::weakly_canonical(candidate, ec);
        }
    }
    return {};
}

}  // namespace kaptor::host
