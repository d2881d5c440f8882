// What a host program asks of its own process: whether a stream is a terminal, where its
// executable lies, and byte-exact standard output.
#pragma once

#include <cstdio>
#include <filesystem>
#include <optional>

namespace kaptor::platform {

bool isTerminal(std::FILE* stream);

// The running program's own file, or nothing when the system does not say.
std::optional<std::filesystem::path> executablePath();

// Bytes written to stream reach it unchanged (no line-ending translation).
void setBinaryMode(std::FILE* stream);

}  // namespace kaptor::platform
