#include "platform/file_system.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <random>
#include <system_error>
#include <vector>

#include "platform/text.h"

namespace kaptor::platform {
namespace {

class FileDescriptor {
  public:
    explicit FileDescriptor(int fd = -1) : fd_(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() { reset(); }
    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    bool reset() {
        const bool ok = fd_ < 0 || ::close(fd_) == 0;
        fd_ = -1;
        return ok;
    }

  private:
    int fd_;
};

bool writeAll(int fd, const std::uint8_t* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

// Temporary files are named ".NAME.kaptor-PID-NUMBER" in the target's folder, so the writer's
// process id tells whether one still has an owner.
constexpr std::string_view TEMPORARY_MARK = ".kaptor-";

std::string temporaryName(const std::filesystem::path& target, std::uint32_t number) {
    // Built by appending in place: GCC 12 at -O3 mistakes a chain of operator+ here for an
    // overlapping copy (-Wrestrict).
    std::string name = ".";
    name += target.filename().string();
    name += TEMPORARY_MARK;
    name += std::to_string(::getpid());
    name += '-';
    name += std::to_string(number);
    return name;
}

// The process id in a name of our temporary pattern, or nothing for any other name.
std::optional<pid_t> temporaryOwner(std::string_view name) {
    const auto mark = name.rfind(TEMPORARY_MARK);
    if (name.empty() || name[0] != '.' || mark == std::string_view::npos || mark < 2) {
        return std::nullopt;
    }
    const std::string_view rest = name.substr(mark + TEMPORARY_MARK.size());
    const auto dash = rest.find('-');
    if (dash == std::string_view::npos || dash + 1 == rest.size()) {
        return std::nullopt;
    }
    pid_t pid = 0;
    const auto [end, ec] = std::from_chars(rest.data(), rest.data() + dash, pid);
    if (ec != std::errc{} || end != rest.data() + dash || pid <= 0) {
        return std::nullopt;
    }
    const std::string_view number = rest.substr(dash + 1);
    if (!std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    return pid;
}

bool processIsAlive(pid_t pid) {
    return ::kill(pid, 0) == 0 || errno == EPERM;
}

// Removes what an interrupted write (a killed process) left in folder: our temporaries whose
// writer is gone. A temporary of a live process is never touched.
void removeStaleTemporaries(const std::filesystem::path& folder) {
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end;
         it.increment(ec)) {
        const std::string name = it->path().filename().string();
        const auto owner = temporaryOwner(name);
        if (owner && *owner != ::getpid() && !processIsAlive(*owner) && it->is_regular_file(ec)) {
            std::error_code ignored;
            std::filesystem::remove(it->path(), ignored);
        }
    }
}

// After a rename the folder itself holds the new entry; flushing it makes the file survive a
// power cut. A file system that cannot flush folders is left as it is.
void flushFolder(const std::filesystem::path& folder) {
    FileDescriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.valid()) {
        ::fsync(fd.get());
    }
}

// Bytes are gathered in a 4096-byte buffer; the file sees block writes only. Where the file
// system allows, the file has no name until it is complete (O_TMPFILE): a process killed while
// writing leaves nothing behind. Otherwise it is written under a temporary name.
class HostReplacementFile : public ReplacementFile {
  public:
    // temporary is empty when fd is an unnamed file.
    HostReplacementFile(std::filesystem::path target, std::filesystem::path temporary, int fd)
        : target_(std::move(target)), temporary_(std::move(temporary)), fd_(fd) {}

    ~HostReplacementFile() override {
        if (!committed_) {
            fd_.reset();
            removeTemporary();
        }
    }

    bool write(std::span<const std::uint8_t> bytes) override {
        if (failed_) {
            return false;
        }
        while (!bytes.empty()) {
            const std::size_t room = buffer_.size() - used_;
            const std::size_t n = std::min(room, bytes.size());
            std::copy_n(bytes.begin(), n, buffer_.begin() + static_cast<std::ptrdiff_t>(used_));
            used_ += n;
            bytes = bytes.subspan(n);
            if (used_ == buffer_.size() && !flush()) {
                return false;
            }
        }
        return true;
    }

    bool commit() override {
        if (failed_ || !flush() || !check(::fsync(fd_.get()) == 0) || !giveName() ||
            !check(fd_.reset())) {
            return false;
        }
        if (!check(::rename(temporary_.c_str(), target_.c_str()) == 0)) {
            return false;
        }
        committed_ = true;
        flushFolder(target_.parent_path());
        return true;
    }

    std::error_code error() const override { return error_; }

  private:
    bool check(bool ok) {
        if (!ok) {
            error_ = std::error_code(errno, std::generic_category());
            failed_ = true;
        }
        return ok;
    }

    // An unnamed file gets its temporary name only now, complete and flushed, just before the
    // rename puts it in place.
    bool giveName() {
        if (!temporary_.empty()) {
            return true;
        }
        const std::string self = "/proc/self/fd/" + std::to_string(fd_.get());
        std::random_device random;
        for (int attempt = 0; attempt < 16; ++attempt) {
            const auto name = target_.parent_path() / temporaryName(target_, random() % 1000000);
            if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
                temporary_ = name;
                return true;
            }
            if (errno != EEXIST) {
                break;
            }
        }
        return check(false);
    }

    void removeTemporary() {
        if (!temporary_.empty()) {
            std::error_code ec;
            std::filesystem::remove(temporary_, ec);
        }
    }

    bool flush() {
        if (used_ > 0 && !check(writeAll(fd_.get(), buffer_.data(), used_))) {
            return false;
        }
        used_ = 0;
        return true;
    }

    std::filesystem::path target_;
    std::filesystem::path temporary_;
    FileDescriptor fd_;
    std::array<std::uint8_t, 4096> buffer_{};
    std::size_t used_ = 0;
    bool failed_ = false;
    bool committed_ = false;
    std::error_code error_;
};

// Only a regular file holds contents: a FIFO, a device or a socket could block an open or a
// read for ever, so each counts as a file that cannot be opened.
bool isRegularFile(const std::filesystem::path& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

class HostFileFind : public FileFind {
  public:
    explicit HostFileFind(std::vector<std::string> names) : names_(std::move(names)) {}

    std::uint32_t next(std::string& name) override {
        if (position_ >= names_.size()) {
            return ERROR_NO_MORE_FILES;
        }
        name = names_[position_++];
        return FIND_OK;
    }
    bool close() override { return true; }

  private:
    std::vector<std::string> names_;
    std::size_t position_ = 1;
};

std::size_t lastSeparator(std::string_view path) {
    const auto pos = path.find_last_of("\\/");
    return pos == std::string_view::npos ? 0 : pos + 1;
}

}  // namespace

HostFileSystem::HostFileSystem(DriveMap drives) : drives_(std::move(drives)) {}

std::optional<std::filesystem::path> HostFileSystem::hostPath(std::string_view path) {
    return drives_.resolve(path);
}

std::optional<std::string> HostFileSystem::readUpTo(std::string_view path, std::size_t maxBytes) {
    const auto host = drives_.resolve(path);
    if (!host) {
        return std::nullopt;
    }
    if (!isRegularFile(*host)) {
        return std::nullopt;
    }
    // Non-blocking, and checked again once open, in case something else took the name between.
    FileDescriptor fd(::open(host->c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    struct stat info {};
    if (!fd.valid() || ::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return std::nullopt;
    }
    std::string text(maxBytes, '\0');
    std::size_t got = 0;
    while (got < maxBytes) {
        const ssize_t n = ::read(fd.get(), text.data() + got, maxBytes - got);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            // A folder opens but cannot be read, as on the original platform it cannot be
            // opened as a file at all.
            return std::nullopt;
        }
        if (n == 0) {
            break;
        }
        got += static_cast<std::size_t>(n);
    }
    text.resize(got);
    return text;
}

bool HostFileSystem::exists(std::string_view path) {
    const auto host = drives_.resolve(path);
    std::error_code ec;
    return host && std::filesystem::exists(*host, ec);
}

std::unique_ptr<ReplacementFile> HostFileSystem::createReplacement(std::string_view path) {
    const auto host = drives_.resolve(path);
    if (!host || !host->has_filename()) {
        return nullptr;
    }
    std::error_code ec;
    const auto status = std::filesystem::status(*host, ec);
    // Only a regular file is ever replaced; a folder, FIFO or device keeps its place.
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
        return nullptr;
    }
    // A new file gets the usual permissions; a replaced one keeps its own.
    mode_t mode = 0666;
    if (std::filesystem::exists(status)) {
        mode = static_cast<mode_t>(status.permissions() & std::filesystem::perms::all);
    }
    const std::filesystem::path folder = host->parent_path();
    removeStaleTemporaries(folder);
    // An unnamed file is named later through /proc; without /proc it could not be.
    if (::access("/proc/self/fd", X_OK) == 0) {
        const int unnamed = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
        if (unnamed >= 0) {
            return std::make_unique<HostReplacementFile>(*host, std::filesystem::path(), unnamed);
        }
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) {
            return nullptr;
        }
    }
    std::random_device random;
    for (int attempt = 0; attempt < 16; ++attempt) {
        const std::filesystem::path temporary = folder / temporaryName(*host, random() % 1000000);
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0) {
            return std::make_unique<HostReplacementFile>(*host, temporary, fd);
        }
        if (errno != EEXIST) {
            return nullptr;
        }
    }
    return nullptr;
}

bool HostFileSystem::remove(std::string_view path) {
    const auto host = drives_.resolve(path);
    std::error_code ec;
    return host && std::filesystem::is_regular_file(*host, ec) &&
           std::filesystem::remove(*host, ec);
}

std::unique_ptr<FileFind> HostFileSystem::findFirst(std::string_view pattern, std::string& name) {
    const std::size_t split = lastSeparator(pattern);
    const std::string_view folderPart = pattern.substr(0, split);
    const std::string_view namePattern = pattern.substr(split);
    const auto folder = drives_.resolve(folderPart.empty() ? std::string_view(".") : folderPart);
    if (!folder) {
        return nullptr;
    }
    std::vector<std::string> names;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(*folder, ec), end; !ec && it != end;
         it.increment(ec)) {
        const std::string inCp1252 = utf8ToCp1252(it->path().filename().string());
        if (matchesWildcard(inCp1252, namePattern)) {
            names.push_back(inCp1252);
        }
    }
    if (names.empty()) {
        return nullptr;
    }
    std::sort(names.begin(), names.end(), lessIgnoreCase1252);
    name = names.front();
    return std::make_unique<HostFileFind>(std::move(names));
}

}  // namespace kaptor::platform
