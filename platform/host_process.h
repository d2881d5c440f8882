// What a host program asks of its own process: whether a stream is a terminal, where its
// executable lies, and byte-exact standard output.
#pragma once

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string_view>

namespace kaptor::platform {

bool isTerminal(std::FILE* stream);

// The running program's own file as the system tells it; where the system does not say (no
// /proc), the file argv0 names as a shell found it: a path when it holds a slash, else the first
// executable of that name in the folders of PATH. Nothing when neither tells.
std::optional<std::filesystem::path> executablePath(std::string_view argv0 = {});

#ifndef _WIN32
// The file a shell ran for argv0 with searchPath as PATH; nothing when there is none.
std::optional<std::filesystem::path> programFromInvocation(std::string_view argv0,
                                                           std::string_view searchPath);
#endif

// Bytes written to stream reach it unchanged (no line-ending translation).
void setBinaryMode(std::FILE* stream);

}  // namespace kaptor::platform
