#include "platform/file_system.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <random>
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

// Bytes are gathered in a 4096-byte buffer; the file sees block writes only.
class HostReplacementFile : public ReplacementFile {
  public:
    HostReplacementFile(std::filesystem::path target, std::filesystem::path temporary, int fd)
        : target_(std::move(target)), temporary_(std::move(temporary)), fd_(fd) {}

    ~HostReplacementFile() override {
        if (!committed_) {
            fd_.reset();
            std::error_code ec;
            std::filesystem::remove(temporary_, ec);
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
        if (failed_ || !flush() || ::fsync(fd_.get()) != 0 || !fd_.reset()) {
            failed_ = true;
            return false;
        }
        std::error_code ec;
        std::filesystem::rename(temporary_, target_, ec);
        if (ec) {
            failed_ = true;
            return false;
        }
        committed_ = true;
        return true;
    }

  private:
    bool flush() {
        if (used_ > 0 && !writeAll(fd_.get(), buffer_.data(), used_)) {
            failed_ = true;
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
};

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
    FileDescriptor fd(::open(host->c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd.valid()) {
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
    if (std::filesystem::is_directory(*host, ec)) {
        return nullptr;
    }
    // A new file gets the usual permissions; a replaced one keeps its own.
    mode_t mode = 0666;
    if (const auto status = std::filesystem::status(*host, ec);
        !ec && std::filesystem::exists(status)) {
        mode = static_cast<mode_t>(status.permissions() & std::filesystem::perms::all);
    }
    std::random_device random;
    for (int attempt = 0; attempt < 16; ++attempt) {
        std::string name = ".";
        name.append(host->filename().string()).append(".kaptor-");
        name.append(std::to_string(random() % 1000000));
        const std::filesystem::path temporary = host->parent_path() / name;
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
