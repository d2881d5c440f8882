#include "boardsim/sim_files.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>

namespace kaptor::boardsim {
namespace {

constexpr std::size_t BLOCK = std::size_t{1} << 20;
constexpr std::size_t FIRST_BLOCK = 4096;

std::string tooLarge(const std::string& path, std::size_t maxBytes) {
    return path + " is larger than " + std::to_string(maxBytes >> 20) + " MiB";
}

}  // namespace

#ifdef _WIN32

std::optional<std::vector<std::uint8_t>> readWholeFile(const std::string& path,
                                                       std::size_t maxBytes, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot read " + path;
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes;
    while (in) {
        const std::size_t had = bytes.size();
        if (had > maxBytes) {
            error = tooLarge(path, maxBytes);
            return std::nullopt;
        }
        bytes.resize(had + BLOCK);
        in.read(reinterpret_cast<char*>(bytes.data() + had), static_cast<std::streamsize>(BLOCK));
        bytes.resize(had + static_cast<std::size_t>(in.gcount()));
    }
    if (in.bad()) {
        error = "cannot read " + path;
        return std::nullopt;
    }
    return bytes;
}

OpenFile openForAppending(const std::string& path, std::string& error) {
    OpenFile file(std::fopen(path.c_str(), "a"));
    if (!file) {
        error = "cannot write " + path + " (" + std::strerror(errno) + ")";
    }
    return file;
}

#else

namespace {

// Whether fd may be used: a FIFO or socket would leave the host waiting for a peer.
bool refuseWaiting(int fd, const std::string& path, std::string& error, struct stat& status) {
    if (::fstat(fd, &status) != 0) {
        error = "cannot read " + path;
        return true;
    }
    if (S_ISFIFO(status.st_mode) || S_ISSOCK(status.st_mode)) {
        error = path + " is a FIFO or socket, not a file";
        return true;
    }
    return false;
}

struct Descriptor {
    int fd;
    ~Descriptor() {
        if (fd >= 0) {
            ::close(fd);
        }
    }
};

}  // namespace

std::optional<std::vector<std::uint8_t>> readWholeFile(const std::string& path,
                                                       std::size_t maxBytes, std::string& error) {
    // O_NONBLOCK: opening a FIFO does not wait for a writer; it is refused right after.
    Descriptor file{::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)};
    if (file.fd < 0) {
        error = "cannot read " + path;
        return std::nullopt;
    }
    struct stat status {};
    if (refuseWaiting(file.fd, path, error, status)) {
        return std::nullopt;
    }
    ::fcntl(file.fd, F_SETFL, ::fcntl(file.fd, F_GETFL) & ~O_NONBLOCK);
    // A regular file is read in one go when it keeps its size (the end then shows in one more
    // small read); anything else in blocks that grow with what came, up to 1 MiB.
    std::size_t block = S_ISREG(status.st_mode)
                            ? std::min(static_cast<std::size_t>(status.st_size), maxBytes) + 1
                            : FIRST_BLOCK;
    std::vector<std::uint8_t> bytes;
    for (;; block = std::clamp(bytes.size(), FIRST_BLOCK, BLOCK)) {
        const std::size_t had = bytes.size();
        if (had > maxBytes) {
            error = tooLarge(path, maxBytes);
            return std::nullopt;
        }
        bytes.resize(had + block);
        const ssize_t got = ::read(file.fd, bytes.data() + had, block);
        if (got < 0 && errno == EINTR) {
            bytes.resize(had);
            continue;
        }
        if (got < 0) {
            error = "cannot read " + path;
            return std::nullopt;
        }
        bytes.resize(had + static_cast<std::size_t>(got));
        if (got == 0) {
            return bytes;
        }
    }
}

OpenFile openForAppending(const std::string& path, std::string& error) {
    struct stat status {};
    if (::stat(path.c_str(), &status) == 0 && !S_ISREG(status.st_mode)) {
        error = "cannot write " + path + " (not a regular file)";
        return nullptr;
    }
    // O_NONBLOCK: a FIFO put there meanwhile fails at once instead of waiting for a reader.
    Descriptor file{
        ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0644)};
    if (file.fd < 0) {
        error = "cannot write " + path + " (" + std::strerror(errno) + ")";
        return nullptr;
    }
    if (::fstat(file.fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        error = "cannot write " + path + " (not a regular file)";
        return nullptr;
    }
    ::fcntl(file.fd, F_SETFL, ::fcntl(file.fd, F_GETFL) & ~O_NONBLOCK);
    OpenFile opened(::fdopen(file.fd, "a"));
    if (opened) {
        file.fd = -1;  // the stream owns it now
    } else {
        error = "cannot write " + path + " (" + std::strerror(errno) + ")";
    }
    return opened;
}

#endif

}  // namespace kaptor::boardsim
