#include "cli/host.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>

#include "platform/program.h"

namespace kaptor::cli {
namespace {

const char* environment(const char* name) {
    return std::getenv(name);
}

}  // namespace

void ConsoleDialogRunner::runConfigDialog(control::CBoardConfigDlg& dialog) {
    std::fprintf(stderr,
                 "kaptor: the configuration dialog needs a window; it closes as CANCELAR "
                 "(use 'kaptor config' to edit configurations)\n");
    dialog.resultCode = control::RESULT_CANCELAR;
    dialog.testImage = 0;
}

void ConsoleDialogRunner::runAboutBox() {
    operator_.messageBox("KAPTORAX Control, Version 1.0");
}

std::string simulatorLibraryPath() {
    const auto self = platform::programFile();
    if (!self) {
        return {};
    }
    std::error_code ec;
#ifdef _WIN32
    for (const auto& candidate : {self->parent_path() / "Ftd2xx.dll"}) {
#else
    for (const auto& candidate : {self->parent_path() / "../lib/libkaptorsim.so",
                                  self->parent_path() / "libkaptorsim.so"}) {
#endif
        if (std::filesystem::exists(candidate, ec)) {
            return std::filesystem::weakly_canonical(candidate, ec).string();
        }
    }
    return {};
}

Host::Host(HostOptions options)
    : files_(platform::DriveMap::fromEnvironment(environment)),
      operator_(stderr, platform::standardInputIsTerminal() ? &std::cin : nullptr,
                std::move(options.answers)),
      libraries_(environment),
      dialogs_(operator_) {
    if (options.simulator) {
        const std::string path = simulatorLibraryPath();
        if (path.empty()) {
            std::fprintf(stderr, "kaptor: the simulated board's library is not installed here\n");
        } else {
            platform::setEnvironmentVariable("KAPTOR_D2XX_LIBRARY", path);
        }
    }
    control_ = std::make_unique<control::CKAPTORAXCtrl>(
        control::ControlServices{files_, operator_, clock_, processExit_, libraries_, dialogs_});
}

}  // namespace kaptor::cli
