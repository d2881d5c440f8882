// An exclusive lock held across processes for one read-change-write of stored files: kaptor
// waits for the holder, then works alone until the lock goes. The lock file itself stays (it is
// never replaced, so every process locks the same file) and holds nothing.
#pragma once

#include <memory>
#include <string>

namespace kaptor::cli {

class FileLock {
  public:
    // Waits for the lock on path, creating the file when it is missing; nothing, with error set
    // to the system's reason, when the file cannot be opened or locked.
    static std::unique_ptr<FileLock> acquire(const std::string& path, std::string& error);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

  private:
    struct Handle;
    explicit FileLock(std::unique_ptr<Handle> handle);
    std::unique_ptr<Handle> handle_;
};

}  // namespace kaptor::cli
