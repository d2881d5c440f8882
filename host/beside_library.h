// The board libraries installed with libkaptor lie beside the library itself (both in the
// library folder, installed or built): the simulated board and our D2XX library over libftdi1.
#pragma once

#include <filesystem>

namespace kaptor::host {

constexpr const char* SIMULATOR_LIBRARY = "libkaptorsim.so";
constexpr const char* DRIVER_LIBRARY = "libkaptor-d2xx.so";

// The file beside libkaptor, or an empty path when it is not there.
std::filesystem::path besideLibrary(const char* file);

}  // namespace kaptor::host
