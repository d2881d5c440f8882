// Windows-style paths ("\KAPTOR\CONFIG.TXT", "C:\KAPTOR\CONFIG\*.TXT", "c:\KAPTOR\Imagen1.BMP")
// mapped onto host folders. Each drive letter has a root folder; path components match existing
// entries case-insensitively, as on the original file system; names are Windows-1252 in the
// control and UTF-8 on disk. Absolute POSIX paths are used as they are.
#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace kaptor::platform {

class DriveMap {
  public:
    // roots: drive letter (upper case) to host folder. currentDrive: the drive of paths that
    // start with a backslash.
    DriveMap(std::map<char, std::filesystem::path> roots, char currentDrive = 'C');

    // Drive C: from KAPTOR_DRIVE_C (default ${XDG_DATA_HOME:-~/.local/share}/kaptor/drive_c),
    // other drives from KAPTOR_DRIVE_<LETTER>, the current drive from KAPTOR_CURRENT_DRIVE.
    // getenv is passed in so tests can supply their own environment.
    static DriveMap fromEnvironment(const std::function<const char*(const char*)>& getenv);

    // The host path for a Windows path (Windows-1252), or nothing when its drive has no root.
    // A trailing separator is kept, so a path that names a folder stays a folder.
    std::optional<std::filesystem::path> resolve(std::string_view windowsPath) const;

    const std::filesystem::path* driveRoot(char letter) const;
    char currentDrive() const { return currentDrive_; }

  private:
    std::map<char, std::filesystem::path> roots_;
    char currentDrive_;
};

// Finds the entry of folder whose name equals name (Windows-1252) ignoring case; an exact match
// wins. Returns the name as it should stand on disk (UTF-8): the existing entry's, or the name
// itself converted when there is none.
std::string matchComponent(const std::filesystem::path& folder, std::string_view name);

}  // namespace kaptor::platform
