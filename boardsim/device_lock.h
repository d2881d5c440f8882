// Holds the simulated device for one handle across processes, as a real driver admits one
// process at a time: an exclusive lock on a file, released when the lock object goes.
#pragma once

#include <memory>
#include <string>

namespace kaptor::boardsim {

class DeviceLock {
  public:
    // The lock on path, or nothing when another handle (in any process) holds it or the file
    // cannot be opened; then error tells the system's reason.
    static std::unique_ptr<DeviceLock> tryAcquire(const std::string& path, std::string& error);
    ~DeviceLock();
    DeviceLock(const DeviceLock&) = delete;
    DeviceLock& operator=(const DeviceLock&) = delete;

  private:
    struct Handle;
    explicit DeviceLock(std::unique_ptr<Handle> handle);
    std::unique_ptr<Handle> handle_;
};

}  // namespace kaptor::boardsim
