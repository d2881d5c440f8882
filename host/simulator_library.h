// Where the simulated board installed with libkaptor lies: beside the library itself (both in
// the library folder, installed or built).
#pragma once

#include <filesystem>

namespace kaptor::host {

// The simulated board's file, or an empty path when it is not there.
std::filesystem::path simulatorBesideLibrary();

}  // namespace kaptor::host
