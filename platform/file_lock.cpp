#include "platform/file_lock.h"

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

namespace kaptor::platform {

#ifdef _WIN32

struct FileLock::Handle {
    HANDLE file = INVALID_HANDLE_VALUE;
    ~Handle() {
        if (file != INVALID_HANDLE_VALUE) {
            CloseHandle(file);
        }
    }
};

std::unique_ptr<FileLock> FileLock::acquire(const std::string& path, Wait wait,
                                            std::string& error) {
    auto handle = std::make_unique<Handle>();
    if (wait == Wait::No) {
        // A file opened without sharing: a second open fails until this handle is closed.
        handle->file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                   OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle->file == INVALID_HANDLE_VALUE) {
            // Held by another handle: sharing refused. Anything else is a lock that cannot be had.
            const DWORD code = GetLastError();
            if (code != ERROR_SHARING_VIOLATION) {
                error = std::system_category().message(static_cast<int>(code));
            }
            return nullptr;
        }
        return std::unique_ptr<FileLock>(new FileLock(std::move(handle)));
    }
    handle->file =
        CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    OVERLAPPED whole{};
    if (handle->file == INVALID_HANDLE_VALUE ||
        LockFileEx(handle->file, LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &whole) == 0) {
        error = std::system_category().message(static_cast<int>(GetLastError()));
        return nullptr;
    }
    return std::unique_ptr<FileLock>(new FileLock(std::move(handle)));
}

#else

// An exclusive flock on an open file description: held until the descriptor is closed, and
// refused to every other description of the file, in this process or another.
struct FileLock::Handle {
    int fd = -1;
    ~Handle() {
        if (fd >= 0) {
            ::close(fd);
        }
    }
};

std::unique_ptr<FileLock> FileLock::acquire(const std::string& path, Wait wait,
                                            std::string& error) {
    auto handle = std::make_unique<Handle>();
    // O_NONBLOCK: whatever stands at the path, the open never waits (a FIFO would).
    handle->fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0644);
    if (handle->fd < 0) {
        error = std::strerror(errno);
        return nullptr;
    }
    int locked = 0;
    do {
        locked = ::flock(handle->fd, wait == Wait::Yes ? LOCK_EX : LOCK_EX | LOCK_NB);
    } while (locked != 0 && errno == EINTR);
    if (locked != 0) {
        if (wait == Wait::Yes || errno != EWOULDBLOCK) {
            error = std::strerror(errno);
        }
        return nullptr;
    }
    return std::unique_ptr<FileLock>(new FileLock(std::move(handle)));
}

#endif

FileLock::FileLock(std::unique_ptr<Handle> handle) : handle_(std::move(handle)) {}

FileLock::~FileLock() = default;

}  // namespace kaptor::platform
