// Windows: drives are the system's own; a drive with a root folder is redirected into it.
#include "platform/drive_map.h"

#include <windows.h>

#include <cctype>
#include <vector>

#include "platform/text.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_path.h"

namespace kaptor::platform {
namespace {

bool isSeparator(char c) {
    return c == '\\' || c == '/';
}

char upper(char c) {
    return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}

// The components of a path below a drive root: "." dropped, ".." never above the root.
std::vector<std::string_view> normalisedComponents(std::string_view path) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= path.size(); ++i) {
        if (i == path.size() || isSeparator(path[i])) {
            const std::string_view part = path.substr(start, i - start);
            if (part == "..") {
                if (!parts.empty()) {
                    parts.pop_back();
                }
            } else if (!part.empty() && part != ".") {
                parts.push_back(part);
            }
            start = i + 1;
        }
    }
    return parts;
}

// The drive a path lies on when it names one ("X:..." or "\..." on the current drive).
std::optional<char> driveOf(std::string_view path, char currentDrive) {
    if (path.size() >= 2 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(path[0]))) {
        return upper(path[0]);
    }
    // "\\server\share" is a network path, never a drive's.
    if (isSeparator(path[0]) && !(path.size() >= 2 && isSeparator(path[1]))) {
        return currentDrive;
    }
    return std::nullopt;
}

}  // namespace

DriveMap::DriveMap(std::map<char, std::filesystem::path> roots, char currentDrive)
    : roots_(std::move(roots)), currentDrive_(upper(currentDrive)) {}

DriveMap DriveMap::fromEnvironment(const std::function<const char*(const char*)>& getenv) {
    std::map<char, std::filesystem::path> roots;
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        const std::string name = std::string("KAPTOR_DRIVE_") + letter;
        if (const char* value = getenv(name.c_str()); value != nullptr && *value != '\0') {
            roots[letter] = cp1252ToUtf16(value).c_str();
        }
    }
    char current = 'C';
    if (const char* value = getenv("KAPTOR_CURRENT_DRIVE");
        value != nullptr && std::isalpha(static_cast<unsigned char>(*value))) {
        current = *value;
    } else {
        // The drive of the current folder, as Windows resolves "\..." itself.
        char folder[MAX_PATH] = {};
        const DWORD length = ::GetCurrentDirectoryA(MAX_PATH, folder);
        if (length >= 2 && length < MAX_PATH && folder[1] == ':') {
            current = folder[0];
        }
    }
    return DriveMap(std::move(roots), current);
}

const std::filesystem::path* DriveMap::driveRoot(char letter) const {
    const auto it = roots_.find(upper(letter));
    return it == roots_.end() ? nullptr : &it->second;
}

std::string ansiPath(const std::filesystem::path& path) {
    const std::wstring wide = path.wstring();
    return utf16ToCp1252(
        std::u16string_view(reinterpret_cast<const char16_t*>(wide.data()), wide.size()));
}

std::optional<std::string> win32Path(const DriveMap& drives, std::string_view windowsPath) {
    if (windowsPath.empty()) {
        return std::nullopt;
    }
    const auto drive = driveOf(windowsPath, drives.currentDrive());
    const std::filesystem::path* root = drive ? drives.driveRoot(*drive) : nullptr;
    if (root == nullptr) {
        return std::string(windowsPath);
    }
    const bool hasLetter = windowsPath.size() >= 2 && windowsPath[1] == ':';
    const std::string_view rest = hasLetter ? windowsPath.substr(2) : windowsPath;
    std::string out = ansiPath(*root);
    for (std::string_view part : normalisedComponents(rest)) {
        if (out.empty() || !isSeparator(out.back())) {
            out.push_back('\\');
        }
        out.append(part);
    }
    if (isSeparator(windowsPath.back()) && !isSeparator(out.back())) {
        out.push_back('\\');
    }
    return out;
}

std::optional<std::filesystem::path> DriveMap::resolve(std::string_view windowsPath) const {
    const auto path = win32Path(*this, windowsPath);
    if (!path) {
        return std::nullopt;
    }
    return std::filesystem::path(cp1252ToWide(*path));
}

}  // namespace kaptor::platform
