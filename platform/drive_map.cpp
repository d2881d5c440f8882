#include "platform/drive_map.h"

#include <cctype>
#include <system_error>
#include <vector>

#include "platform/text.h"

namespace kaptor::platform {
namespace {

bool isSeparator(char c) {
    return c == '\\' || c == '/';
}

std::vector<std::string_view> splitComponents(std::string_view path) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= path.size(); ++i) {
        if (i == path.size() || isSeparator(path[i])) {
            if (i > start) {
                parts.push_back(path.substr(start, i - start));
            }
            start = i + 1;
        }
    }
    return parts;
}

}  // namespace

DriveMap::DriveMap(std::map<char, std::filesystem::path> roots, char currentDrive)
    : roots_(std::move(roots)),
      currentDrive_(static_cast<char>(std::toupper(static_cast<unsigned char>(currentDrive)))) {}

DriveMap DriveMap::fromEnvironment(const std::function<const char*(const char*)>& getenv) {
    std::map<char, std::filesystem::path> roots;
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        const std::string name = std::string("KAPTOR_DRIVE_") + letter;
        if (const char* value = getenv(name.c_str()); value != nullptr && *value != '\0') {
            roots[letter] = value;
        }
    }
    if (!roots.contains('C')) {
        std::filesystem::path base;
        if (const char* xdg = getenv("XDG_DATA_HOME"); xdg != nullptr && *xdg == '/') {
            base = xdg;
        } else if (const char* home = getenv("HOME"); home != nullptr && *home != '\0') {
            base = std::filesystem::path(home) / ".local" / "share";
        } else {
            base = std::filesystem::temp_directory_path();
        }
        roots['C'] = base / "kaptor" / "drive_c";
    }
    char current = 'C';
    if (const char* value = getenv("KAPTOR_CURRENT_DRIVE");
        value != nullptr && std::isalpha(static_cast<unsigned char>(*value))) {
        current = *value;
    }
    return DriveMap(std::move(roots), current);
}

const std::filesystem::path* DriveMap::driveRoot(char letter) const {
    const auto it =
        roots_.find(static_cast<char>(std::toupper(static_cast<unsigned char>(letter))));
    return it == roots_.end() ? nullptr : &it->second;
}

std::string matchComponent(const std::filesystem::path& folder, std::string_view name) {
    const std::string asGiven = cp1252ToUtf8(name);
    std::error_code ec;
    if (std::filesystem::exists(folder / asGiven, ec)) {
        return asGiven;
    }
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end;
         it.increment(ec)) {
        const std::string onDisk = it->path().filename().string();
        const auto inCp1252 = utf8ToCp1252Exact(onDisk);
        if (inCp1252 && equalsIgnoreCase1252(*inCp1252, name)) {
            return onDisk;
        }
    }
    return asGiven;
}

std::optional<std::filesystem::path> DriveMap::resolve(std::string_view windowsPath) const {
    if (windowsPath.empty()) {
        return std::nullopt;
    }
    if (windowsPath.front() == '/') {
        return std::filesystem::path(cp1252ToUtf8(windowsPath));
    }
    std::filesystem::path base;
    std::string_view rest = windowsPath;
    if (windowsPath.size() >= 2 && windowsPath[1] == ':' &&
        std::isalpha(static_cast<unsigned char>(windowsPath[0]))) {
        const auto* root = driveRoot(windowsPath[0]);
        if (root == nullptr) {
            return std::nullopt;
        }
        base = *root;
        rest = windowsPath.substr(2);
    } else if (isSeparator(windowsPath.front())) {
        const auto* root = driveRoot(currentDrive_);
        if (root == nullptr) {
            return std::nullopt;
        }
        base = *root;
    } else {
        std::error_code ec;
        base = std::filesystem::current_path(ec);
        if (ec) {
            return std::nullopt;
        }
    }
    // ".." never climbs above the drive root, as on the original file system.
    std::vector<std::string> components;
    for (std::string_view part : splitComponents(rest)) {
        if (part == ".") {
            continue;
        }
        if (part == "..") {
            if (!components.empty()) {
                components.pop_back();
            }
            continue;
        }
        components.push_back(std::string(part));
    }
    std::filesystem::path resolved = base;
    for (const std::string& part : components) {
        resolved /= matchComponent(resolved, part);
    }
    if (isSeparator(windowsPath.back()) && !components.empty()) {
        resolved /= "";
    }
    return resolved;
}

}  // namespace kaptor::platform
