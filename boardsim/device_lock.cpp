#include "boardsim/device_lock.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#endif

#include <system_error>

namespace kaptor::boardsim {

#ifdef _WIN32

// A file opened without sharing: a second open fails until this handle is closed.
struct DeviceLock::Handle {
    HANDLE file = INVALID_HANDLE_VALUE;
    ~Handle() {
        if (file != INVALID_HANDLE_VALUE) {
            CloseHandle(file);
        }
    }
};

std::unique_ptr<DeviceLock> DeviceLock::tryAcquire(const std::string& path, std::string& error) {
    auto handle = std::make_unique<Handle>();
    handle->file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle->file == INVALID_HANDLE_VALUE) {
        // Held by another handle: sharing refused. Anything else is a lock that cannot be taken.
        const DWORD code = GetLastError();
        if (code != ERROR_SHARING_VIOLATION) {
            error = std::system_category().message(static_cast<int>(code));
        }
        return nullptr;
    }
    return std::unique_ptr<DeviceLock>(new DeviceLock(std::move(handle)));
}

#else

// An exclusive flock on an open file description: held until the descriptor is closed, and
// refused to every other description of the file, in this process or another.
struct DeviceLock::Handle {
    int fd = -1;
    ~Handle() {
        if (fd >= 0) {
            ::close(fd);
        }
    }
};

std::unique_ptr<DeviceLock> DeviceLock::tryAcquire(const std::string& path, std::string& error) {
    auto handle = std::make_unique<Handle>();
    handle->fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0600);
    if (handle->fd < 0) {
        error = std::strerror(errno);
        return nullptr;
    }
    if (::flock(handle->fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK) {
            error = std::strerror(errno);
        }
        return nullptr;
    }
    return std::unique_ptr<DeviceLock>(new DeviceLock(std::move(handle)));
}

#endif

DeviceLock::DeviceLock(std::unique_ptr<Handle> handle) : handle_(std::move(handle)) {}

DeviceLock::~DeviceLock() = default;

}  // namespace kaptor::boardsim
