#include "cli/file_lock.h"

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

namespace kaptor::cli {

#ifdef _WIN32

struct FileLock::Handle {
    HANDLE file = INVALID_HANDLE_VALUE;
    ~Handle() {
        if (file != INVALID_HANDLE_VALUE) {
            CloseHandle(file);
        }
    }
};

std::unique_ptr<FileLock> FileLock::acquire(const std::string& path, std::string& error) {
    auto handle = std::make_unique<Handle>();
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

struct FileLock::Handle {
    int fd = -1;
    ~Handle() {
        if (fd >= 0) {
            ::close(fd);
        }
    }
};

std::unique_ptr<FileLock> FileLock::acquire(const std::string& path, std::string& error) {
    auto handle = std::make_unique<Handle>();
    // O_NONBLOCK: whatever stands at the path, the open never waits (a FIFO would).
    handle->fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0644);
    if (handle->fd < 0) {
        error = std::strerror(errno);
        return nullptr;
    }
    int locked = 0;
    do {
        locked = ::flock(handle->fd, LOCK_EX);
    } while (locked != 0 && errno == EINTR);
    if (locked != 0) {
        error = std::strerror(errno);
        return nullptr;
    }
    return std::unique_ptr<FileLock>(new FileLock(std::move(handle)));
}

#endif

FileLock::FileLock(std::unique_ptr<Handle> handle) : handle_(std::move(handle)) {}

FileLock::~FileLock() = default;

}  // namespace kaptor::cli
