// An exclusive lock held across processes through a file, released when the lock object goes.
// The file is created when missing and never replaced (every process locks the same file); it
// holds nothing. kaptor waits for the lock around a read-change-write of stored files; the
// simulated board tries it, as a real driver admits one process to a device at a time.
#pragma once

#include <memory>
#include <string>

namespace kaptor::platform {

class FileLock {
  public:
    enum class Wait { No, Yes };

    // The lock on path. Nothing when it cannot be had: then error holds the system's reason, or
    // stays empty when another holder has the lock and wait is No.
    static std::unique_ptr<FileLock> acquire(const std::string& path, Wait wait,
                                             std::string& error);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

  private:
    struct Handle;
    explicit FileLock(std::unique_ptr<Handle> handle);
    std::unique_ptr<Handle> handle_;
};

}  // namespace kaptor::platform
