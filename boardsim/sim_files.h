// The files the simulated board reads and writes (scene, replay, trace): only regular files, and
// never a wait on a FIFO or socket, whose open or read would hang the host until a peer came.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kaptor::boardsim {

// The whole file, refused once it runs past maxBytes (a device such as /dev/zero never ends).
// Nothing, with error set, when it cannot be read, is too long, or is a FIFO or socket.
std::optional<std::vector<std::uint8_t>> readWholeFile(const std::string& path,
                                                       std::size_t maxBytes, std::string& error);

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using OpenFile = std::unique_ptr<std::FILE, FileCloser>;

// The file opened for appending, created when missing; nothing, with error set, when it cannot
// be written or is not a regular file.
OpenFile openForAppending(const std::string& path, std::string& error);

}  // namespace kaptor::boardsim
