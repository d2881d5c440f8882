// Windows: files through the Win32 file API. Stored files are written under a temporary name in
// the same folder, flushed to the disk, and moved over the target in one step.
#include "platform/file_system.h"

#include <windows.h>

#include <random>

#include "platform/win32/win32_path.h"

namespace kaptor::platform {
namespace {

class Handle {
  public:
    explicit Handle(HANDLE handle = INVALID_HANDLE_VALUE) : handle_(handle) {}
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle() { reset(); }
    HANDLE get() const { return handle_; }
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    bool reset() {
        const bool ok = !valid() || ::CloseHandle(handle_) != 0;
        handle_ = INVALID_HANDLE_VALUE;
        return ok;
    }

  private:
    HANDLE handle_;
};

bool isSeparator(char c) {
    return c == '\\' || c == '/';
}

class Win32ReplacementFile : public ReplacementFile {
  public:
    Win32ReplacementFile(std::string target, std::string temporary, HANDLE file)
        : target_(std::move(target)), temporary_(std::move(temporary)), file_(file) {}

    ~Win32ReplacementFile() override {
        if (!committed_) {
            file_.reset();
            ::DeleteFileA(temporary_.c_str());
        }
    }

    bool write(std::span<const std::uint8_t> bytes) override {
        while (!failed_ && !bytes.empty()) {
            const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
            DWORD written = 0;
            if (::WriteFile(file_.get(), bytes.data(), chunk, &written, nullptr) == 0 ||
                written == 0) {
                fail();
            }
            bytes = bytes.subspan(written);
        }
        return !failed_;
    }

    bool commit() override {
        if (failed_ || ::FlushFileBuffers(file_.get()) == 0 || !file_.reset() ||
            ::MoveFileExA(temporary_.c_str(), target_.c_str(),
                          MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) == 0) {
            fail();
            return false;
        }
        committed_ = true;
        return true;
    }

    std::error_code error() const override { return error_; }

  private:
    // Keeps the system's reason for the first failure.
    void fail() {
        if (!failed_) {
            error_ = std::error_code(static_cast<int>(::GetLastError()), std::system_category());
        }
        failed_ = true;
    }

    std::string target_;
    std::string temporary_;
    Handle file_;
    bool failed_ = false;
    bool committed_ = false;
    std::error_code error_;
};

class Win32FileFind : public FileFind {
  public:
    explicit Win32FileFind(HANDLE find) : find_(find) {}
    ~Win32FileFind() override { close(); }

    std::uint32_t next(std::string& name) override {
        WIN32_FIND_DATAA data{};
        if (::FindNextFileA(find_, &data) == 0) {
            return ::GetLastError();
        }
        name = data.cFileName;
        return FIND_OK;
    }

    bool close() override {
        if (find_ == INVALID_HANDLE_VALUE) {
            return true;
        }
        const bool ok = ::FindClose(find_) != 0;
        find_ = INVALID_HANDLE_VALUE;
        return ok;
    }

  private:
    HANDLE find_;
};

}  // namespace

HostFileSystem::HostFileSystem(DriveMap drives) : drives_(std::move(drives)) {}

std::optional<std::filesystem::path> HostFileSystem::hostPath(std::string_view path) {
    return drives_.resolve(path);
}

std::optional<std::string> HostFileSystem::readUpTo(std::string_view path, std::size_t maxBytes) {
    const auto host = win32Path(drives_, path);
    if (!host) {
        return std::nullopt;
    }
    // A folder cannot be opened this way, so it is never taken for a file.
    Handle file(::CreateFileA(host->c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
        return std::nullopt;
    }
    std::string text(maxBytes, '\0');
    std::size_t got = 0;
    while (got < maxBytes) {
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(maxBytes - got, 1u << 30));
        DWORD n = 0;
        if (::ReadFile(file.get(), text.data() + got, want, &n, nullptr) == 0) {
            return std::nullopt;
        }
        if (n == 0) {
            break;
        }
        got += n;
    }
    text.resize(got);
    return text;
}

bool HostFileSystem::exists(std::string_view path) {
    const auto host = win32Path(drives_, path);
    return host && ::GetFileAttributesA(host->c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::unique_ptr<ReplacementFile> HostFileSystem::createReplacement(std::string_view path) {
    const auto host = win32Path(drives_, path);
    if (!host || isSeparator(host->back())) {
        return nullptr;
    }
    const DWORD attributes = ::GetFileAttributesA(host->c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return nullptr;
    }
    const std::size_t split = host->find_last_of("\\/:");
    const std::string folder = split == std::string::npos ? "" : host->substr(0, split + 1);
    const std::string name = split == std::string::npos ? *host : host->substr(split + 1);
    std::random_device random;
    for (int attempt = 0; attempt < 16; ++attempt) {
        const std::string temporary =
            folder + "~" + name + ".kaptor-" + std::to_string(random() % 1000000);
        HANDLE file = ::CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            return std::make_unique<Win32ReplacementFile>(*host, temporary, file);
        }
        if (::GetLastError() != ERROR_FILE_EXISTS) {
            return nullptr;
        }
    }
    return nullptr;
}

bool HostFileSystem::remove(std::string_view path) {
    const auto host = win32Path(drives_, path);
    return host && ::DeleteFileA(host->c_str()) != 0;
}

std::unique_ptr<FileFind> HostFileSystem::findFirst(std::string_view pattern, std::string& name) {
    const auto host = win32Path(drives_, pattern);
    if (!host) {
        return nullptr;
    }
    WIN32_FIND_DATAA data{};
    HANDLE find = ::FindFirstFileA(host->c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) {
        return nullptr;
    }
    name = data.cFileName;
    return std::make_unique<Win32FileFind>(find);
}

}  // namespace kaptor::platform
