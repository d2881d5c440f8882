// The running program's own surroundings, as a host needs them: where its file lies, whether
// a person types at its standard input, and its environment.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace kaptor::platform {

// The program's own file; nothing when the system cannot say.
std::optional<std::filesystem::path> programFile();

bool standardInputIsTerminal();

// Sets a variable of this process's environment; false when that fails.
bool setEnvironmentVariable(const char* name, const std::string& value);

}  // namespace kaptor::platform
