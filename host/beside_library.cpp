#include "host/beside_library.h"

#include <dlfcn.h>

namespace kaptor::host {

std::filesystem::path besideLibrary(const char* file) {
    Dl_info info{};
    if (::dladdr(reinterpret_cast<void*>(&besideLibrary), &info) == 0 ||
        info.dli_fname == nullptr) {
        return {};
    }
    std::error_code ec;
    const auto self = std::filesystem::weakly_canonical(info.dli_fname, ec);
    // Built into a program instead (its tests): the program lies in bin/, the library in lib/.
    for (const auto& candidate :
         {self.parent_path() / file, self.parent_path() / "../lib" / file}) {
        if (std::filesystem::is_regular_file(candidate, ec)) {
            return std::filesystem::weakly_canonical(candidate, ec);
        }
    }
    return {};
}

}  // namespace kaptor::host
