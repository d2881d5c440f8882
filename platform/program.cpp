#include "platform/program.h"

#include <unistd.h>

#include <cstdlib>

namespace kaptor::platform {

std::optional<std::filesystem::path> programFile() {
    std::error_code ec;
    auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) {
        return std::nullopt;
    }
    return self;
}

bool standardInputIsTerminal() {
    return ::isatty(STDIN_FILENO) != 0;
}

bool setEnvironmentVariable(const char* name, const std::string& value) {
    return ::setenv(name, value.c_str(), 1) == 0;
}

}  // namespace kaptor::platform
