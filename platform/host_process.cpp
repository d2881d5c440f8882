#include "platform/host_process.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

#include <algorithm>
#include <cstdlib>
#include <string>

namespace kaptor::platform {

#ifdef _WIN32

bool isTerminal(std::FILE* stream) {
    return ::_isatty(::_fileno(stream)) != 0;
}

std::optional<std::filesystem::path> executablePath(std::string_view) {
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

std::optional<std::filesystem::path> executablePath(std::string_view argv0) {
    std::error_code ec;
    auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (!ec) {
        return self;
    }
    const char* searchPath = std::getenv("PATH");
    return programFromInvocation(argv0, searchPath != nullptr ? searchPath : "");
}

std::optional<std::filesystem::path> programFromInvocation(std::string_view argv0,
                                                           std::string_view searchPath) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const auto runnable = [&ec](const fs::path& file) {
        return fs::is_regular_file(file, ec) && ::access(file.c_str(), X_OK) == 0;
    };
    if (argv0.empty()) {
        return std::nullopt;
    }
    if (argv0.find('/') != std::string_view::npos) {
        const fs::path file = fs::absolute(fs::path(argv0), ec);
        return !ec && runnable(file) ? std::optional(file) : std::nullopt;
    }
    for (std::size_t start = 0; start <= searchPath.size();) {
        const std::size_t end = std::min(searchPath.find(':', start), searchPath.size());
        // An empty entry is the current folder, as the shell has it.
        const std::string_view folder = searchPath.substr(start, end - start);
        const fs::path file = fs::absolute(fs::path(folder.empty() ? "." : folder) / argv0, ec);
        if (!ec && runnable(file)) {
            return file;
        }
        start = end + 1;
    }
    return std::nullopt;
}

void setBinaryMode(std::FILE*) {}

#endif

}  // namespace kaptor::platform
