#include "platform/host_process.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

#include <string>

namespace kaptor::platform {

#ifdef _WIN32

bool isTerminal(std::FILE* stream) {
    return ::_isatty(::_fileno(stream)) != 0;
}

std::optional<std::filesystem::path> executablePath() {
    std::wstring path(32768, L'\0');
    const DWORD length =
        ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0 || length >= path.size()) {
        return std::nullopt;
    }
    path.resize(length);
    return std::filesystem::path(path);
}

void setBinaryMode(std::FILE* stream) {
    ::_setmode(::_fileno(stream), _O_BINARY);
}

#else

bool isTerminal(std::FILE* stream) {
    return ::isatty(::fileno(stream)) != 0;
}

std::optional<std::filesystem::path> executablePath() {
    std::error_code ec;
    auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) {
        return std::nullopt;
    }
    return self;
}

void setBinaryMode(std::FILE*) {}

#endif

}  // namespace kaptor::platform
