// Windows paths as Win32 takes them. On Windows a path is used as it is; only a drive that a
// test (or KAPTOR_DRIVE_<LETTER>) has given a root folder is redirected into that folder, so
// tests keep their files apart as they do on the mapped drives of other hosts.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/drive_map.h"

namespace kaptor::platform {

// The path for the Win32 "A" functions (Windows-1252), or nothing for an empty path.
std::optional<std::string> win32Path(const DriveMap& drives, std::string_view windowsPath);

// A folder name in the ANSI code page, from the wide form the standard library keeps.
std::string ansiPath(const std::filesystem::path& path);

}  // namespace kaptor::platform
