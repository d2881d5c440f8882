#include "cli/host.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>

#include "cli/exit_status.h"
#include "control/configuration_files.h"
#include "platform/host_process.h"

namespace kaptor::cli {
namespace {

#ifdef _WIN32
constexpr const char* SIMULATOR_FILE = "Ftd2xx.dll";
#else
constexpr const char* SIMULATOR_FILE = "libkaptorsim.so";
// The driver library for a real board, over libftdi1, installed with kaptor.
constexpr const char* DRIVER_FILE = "libkaptor-d2xx.so";
#endif
#ifdef _WIN32
#define DRIVER_HINT "the vendor's Ftd2xx.dll"
#else
#define DRIVER_HINT "libkaptor-d2xx.so, over Debian's libftdi1"
#endif

// The first candidate that exists, made canonical; empty when none does.
std::string firstExisting(const std::vector<std::filesystem::path>& candidates) {
    std::error_code ec;
    for (const auto& candidate : candidates) {
        if (std::filesystem::is_regular_file(candidate, ec)) {
            return std::filesystem::weakly_canonical(candidate, ec).string();
        }
    }
    return {};
}

// The simulated board's library; Refusal when there is none.
std::string simulatorLibraryPath(std::string_view programName) {
    // Never the real driver instead: with a board attached it would drive the hardware.
    const auto candidates = libraryCandidates(programName, SIMULATOR_FILE);
    if (!candidates) {
        throw Refusal{EXIT_USAGE, std::string("kaptor: --sim: the system does not tell where this "
                                              "kaptor lies (no /proc), and '") +
                                      std::string(programName) +
                                      "' is not found through PATH, so its simulated board (" +
                                      SIMULATOR_FILE + ") cannot be found; nothing was done"};
    }
    if (std::string found = firstExisting(*candidates); !found.empty()) {
        return found;
    }
    throw Refusal{EXIT_USAGE, std::string("kaptor: --sim: the simulated board (") + SIMULATOR_FILE +
                                  ") is not installed with this kaptor; nothing was done"};
}

// The library for a real board: KAPTOR_D2XX_LIBRARY's when set, else ours installed with kaptor;
// empty when neither, and the control looks for the system's D2XX library.
std::string ownDriverLibrary(std::string_view programName) {
#ifdef _WIN32
    // Windows keeps the vendor's Ftd2xx.dll, found by the system's own search.
    (void)programName;
    return {};
#else
    if (const char* configured = std::getenv("KAPTOR_D2XX_LIBRARY");
        configured != nullptr && *configured != '\0') {
        return configured;
    }
    const auto candidates = libraryCandidates(programName, DRIVER_FILE);
    return candidates ? firstExisting(*candidates) : std::string{};
#endif
}

}  // namespace

std::optional<std::vector<std::filesystem::path>> libraryCandidates(std::string_view programName,
                                                                    std::string_view file) {
    const auto self = platform::executablePath(programName);
    if (!self) {
        return std::nullopt;
    }
    const auto folder = self->parent_path();
    // Installed: the library folder as seen from the program folder; built: bin/ beside lib/.
    return std::vector<std::filesystem::path>{folder / KAPTOR_LIBDIR_FROM_BINDIR / file,
                                              folder / "../lib" / file, folder / file};
}

Host::Host(HostOptions options)
    : console_(stderr, platform::isTerminal(stdin) ? &std::cin : nullptr,
               std::move(options.answers)),
      watcher_(console_, options.quiet, platform::isTerminal(stderr) ? stderr : nullptr),
      dialogs_(std::move(options.dialogSteps), console_),
      hosted_(
          platform::DriveMap::fromEnvironment([](const char* name) { return std::getenv(name); }),
          options.simulator ? simulatorLibraryPath(options.programName)
                            : ownDriverLibrary(options.programName),
          // A driver library that does not load: which file, the loader's words, and what
          // to do.
          [](const std::string& tried, const std::string& why) {
              std::fprintf(stderr,
                           "kaptor: cannot load the board's driver library '%s' (%s); for "
                           "the simulated board run 'kaptor --sim ...', for a real board "
                           "install kaptor with its driver library (" DRIVER_HINT
                           ") or set KAPTOR_D2XX_LIBRARY to a D2XX library\n",
                           tried.c_str(), why.c_str());
          },
          {watcher_, clock_, processExit_, dialogs_}) {
    if (!options.device.empty()) {
        // Read by the driver library when it opens the board by its description.
#ifdef _WIN32
        _putenv_s("KAPTOR_DEVICE", options.device.c_str());
#else
        setenv("KAPTOR_DEVICE", options.device.c_str(), 1);
#endif
    }
}

int Host::exitStatus(int status) const {
    return status == EXIT_DONE && watcher_.failuresShown() > 0 ? EXIT_FAILURE_SHOWN : status;
}

void Host::suggestInitWhenUnconfigured() {
    if (hosted_.disk().exists(control::SELECTOR_PATH)) {
        return;
    }
    const auto where = hosted_.disk().hostPath(control::SELECTOR_PATH);
    std::fprintf(stderr,
                 "kaptor: no configuration on this drive yet (%s is missing); 'kaptor config "
                 "init' lays down a sample one\n",
                 where ? where->string().c_str() : "\\KAPTOR\\CONFIG.TXT");
}

}  // namespace kaptor::cli
