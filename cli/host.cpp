#include "cli/host.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>

namespace kaptor::cli {
namespace {

const char* environment(const char* name) {
    return std::getenv(name);
}

}  // namespace

std::string simulatorLibraryPath() {
    std::error_code ec;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) {
        return {};
    }
    for (const auto& candidate :
         {self.parent_path() / "../lib/libkaptorsim.so", self.parent_path() / "libkaptorsim.so"}) {
        if (std::filesystem::exists(candidate, ec)) {
            return std::filesystem::weakly_canonical(candidate, ec).string();
        }
    }
    return {};
}

Host::Host(HostOptions options)
    : files_(platform::DriveMap::fromEnvironment(environment)),
      operator_(stderr, ::isatty(STDIN_FILENO) != 0 ? &std::cin : nullptr,
                std::move(options.answers)),
      libraries_(environment),
      dialogs_(std::move(options.dialogSteps), operator_) {
    if (options.simulator) {
        const std::string path = simulatorLibraryPath();
        if (path.empty()) {
            std::fprintf(stderr, "kaptor: the simulated board's library is not installed here\n");
        } else {
            ::setenv("KAPTOR_D2XX_LIBRARY", path.c_str(), 1);
        }
    }
    control_ = std::make_unique<control::CKAPTORAXCtrl>(
        control::ControlServices{files_, operator_, clock_, processExit_, libraries_, dialogs_});
}

}  // namespace kaptor::cli
