// Windows: the module file name, the C runtime's terminal test and environment.
#include "platform/program.h"

#include <io.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace kaptor::platform {

std::optional<std::filesystem::path> programFile() {
    std::vector<wchar_t> name(MAX_PATH);
    for (;;) {
        const DWORD length =
            ::GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
        if (length == 0) {
            return std::nullopt;
        }
        if (length < name.size()) {
            return std::filesystem::path(std::wstring(name.data(), length));
        }
        name.resize(name.size() * 2);
    }
}

bool standardInputIsTerminal() {
    return ::_isatty(::_fileno(stdin)) != 0;
}

bool setEnvironmentVariable(const char* name, const std::string& value) {
    return ::_putenv_s(name, value.c_str()) == 0;
}

}  // namespace kaptor::platform
