// Files and folders as the control uses them: Windows paths in Windows-1252, each operation
// opening, using and closing its file. Stored files are replaced through a temporary file in the
// same folder and a rename, so a failed write never damages them; a file that is not a regular
// file (a FIFO, a device) is never opened, read or replaced.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <system_error>

#include "platform/drive_map.h"

namespace kaptor::platform {

// The folder-enumeration codes of the original platform.
constexpr std::uint32_t FIND_OK = 0;
#ifdef ERROR_NO_MORE_FILES
// The Windows headers came first: theirs is the same code.
static_assert(ERROR_NO_MORE_FILES == 18);
#else
constexpr std::uint32_t ERROR_NO_MORE_FILES = 18;
#endif

// A file being written under a temporary name. commit() puts it in place of the target in one
// step; destroying it uncommitted removes the temporary file and leaves the target as it was.
class ReplacementFile {
  public:
    virtual ~ReplacementFile() = default;
    virtual bool write(std::span<const std::uint8_t> bytes) = 0;
    virtual bool commit() = 0;
    // Why the last write or commit failed, when the file layer knows.
    virtual std::error_code error() const { return {}; }
};

// One enumeration of a folder: the first name came with its start.
class FileFind {
  public:
    virtual ~FileFind() = default;
    // FIND_OK with the next name, ERROR_NO_MORE_FILES at the end, another code on failure.
    virtual std::uint32_t next(std::string& name) = 0;
    // Ends the enumeration; false when that fails.
    virtual bool close() = 0;
};

class FileSystem {
  public:
    virtual ~FileSystem() = default;

    // At most maxBytes from the start of the file; nothing when it cannot be opened or is not a
    // regular file.
    virtual std::optional<std::string> readUpTo(std::string_view path, std::size_t maxBytes) = 0;
    // Whether anything (file or folder) stands at the path.
    virtual bool exists(std::string_view path) = 0;
    // Starts replacing the file at path; nothing when the temporary file cannot be created.
    virtual std::unique_ptr<ReplacementFile> createReplacement(std::string_view path) = 0;
    virtual bool remove(std::string_view path) = 0;
    // Starts an enumeration of "FOLDER\PATTERN" (wildcards * and ?, case-insensitive), names in
    // case-insensitive order; nothing when no entry matches or the folder is missing.
    virtual std::unique_ptr<FileFind> findFirst(std::string_view pattern, std::string& name) = 0;
    // Where the path lies on this machine, for telling a person.
    virtual std::optional<std::filesystem::path> hostPath(std::string_view path) = 0;
};

class HostFileSystem : public FileSystem {
  public:
    explicit HostFileSystem(DriveMap drives);

    std::optional<std::string> readUpTo(std::string_view path, std::size_t maxBytes) override;
    bool exists(std::string_view path) override;
    std::unique_ptr<ReplacementFile> createReplacement(std::string_view path) override;
    bool remove(std::string_view path) override;
    std::unique_ptr<FileFind> findFirst(std::string_view pattern, std::string& name) override;
    std::optional<std::filesystem::path> hostPath(std::string_view path) override;

    const DriveMap& drives() const { return drives_; }

  private:
    DriveMap drives_;
};

// Replaces the file at path with contents in one step; false when that failed, and then the
// file is as it was.
bool replaceWholeFile(FileSystem& files, std::string_view path, std::string_view contents);

// Windows wildcard match, case-insensitive over Windows-1252.
bool matchesWildcard(std::string_view name, std::string_view pattern);

}  // namespace kaptor::platform
