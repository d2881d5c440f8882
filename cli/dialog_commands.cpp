#include "cli/dialog_commands.h"

#include <cstdio>

#include "cli/commands.h"
#include "cli/config_assignments.h"
#include "cli/exit_status.h"
#include "control/configuration_files.h"
#include "control/dialog_exchange.h"
#include "host/field_setting.h"
#include "platform/file_lock.h"
#include "platform/text.h"

namespace kaptor::cli {
namespace {

// The lock beside the selector: the selector and the configurations are replaced by renames,
// so they cannot carry a lock themselves. Empty when the drive has no folder on this machine
// (then nothing can be read either).
std::string configurationLockPath(Host& host) {
    const std::string lock = std::string(control::SELECTOR_PATH) + ".lock";
    if (const auto path = host.files().hostPath(lock)) {
        return path->string();
    }
#ifdef _WIN32
    return lock;  // a drive of the system's own: the path means the same to it
#else
    return {};
#endif
}

}  // namespace

int runSetCommand(HostOptions options, bool init) {
    Host host(std::move(options));
    control::CKAPTORAXCtrl& ctrl = host.control();
    // Where the test program points the control: APLICAR's test picture lands there.
    ctrl.setDirconfig("c:\\KAPTOR\\");
    ctrl.setDestinoimagen("c:\\KAPTOR\\Imagen1.BMP");
    // A method that fails (APLICAR's test picture that cannot be written) is reported as such.
    const bool called = (!init || callMethod(ctrl, control::DISPID_INICIALIZA)) &&
                        callMethod(ctrl, control::DISPID_SET);
    return host.exitStatus(!called || host.dialogStepRefused() ? EXIT_FAILURE_SHOWN : EXIT_DONE);
}

int runSet(const Arguments& args, HostOptions options) {
    enum { INIT = 1 };
    int status = EXIT_DONE;
    const auto line =
        parseCommandLine(*findCommand("set"), args, {{"init", 0, false, INIT}}, options, status);
    if (!line) {
        return status;
    }
    if (!line->operands.empty()) {
        std::fprintf(stderr, "kaptor: set takes no arguments\nTry 'kaptor set --help'.\n");
        return EXIT_USAGE;
    }
    return runSetCommand(std::move(options), !line->options.empty());
}

int runConfigSetCommand(const std::vector<std::string>& assignmentTexts, HostOptions options) {
    // The person asked for this change: the overwrite question is answered yes.
    options.answers.push_front(platform::Answer::Ok);
    Host host(std::move(options));
    const Assignments parsed = parseAssignments(assignmentTexts);
    if (!parsed.refusal.empty()) {
        if (parsed.dialogMessage) {
            // The dialog's own message, as it would show it.
            host.person().messageBox(parsed.refusal);
        } else {
            std::fprintf(stderr, "%s\n", parsed.refusal.c_str());
        }
        return EXIT_USAGE;
    }

    // One read-change-write at a time: another config set waits here, so neither change is lost.
    std::string lockError;
    const std::string lockPath = configurationLockPath(host);
    const auto lock = lockPath.empty() ? nullptr
                                       : platform::FileLock::acquire(
                                             lockPath, platform::FileLock::Wait::Yes, lockError);
    control::CKAPTORAXCtrl& ctrl = host.control();
    const int failuresBefore = host.watcher().failuresShown();
    ctrl.loadConfiguration();
    if (host.watcher().failuresShown() != failuresBefore) {
        // Saving now would write blank lines and zeros over the configuration.
        std::fprintf(stderr,
                     "kaptor: config set: the configuration could not be read; nothing was "
                     "saved\n");
        return EXIT_FAILURE_SHOWN;
    }
    if (!lock) {
        std::fprintf(stderr, "kaptor: config set: cannot lock %s (%s); nothing was saved\n",
                     lockPath.c_str(), lockError.c_str());
        return EXIT_FAILURE_SHOWN;
    }
    if (!host::typeIntoDialog(ctrl, parsed.assignments)) {
        std::fprintf(stderr,
                     "kaptor: config set: the dialog refused the configuration in use; "
                     "nothing was saved\n");
        return EXIT_USAGE;
    }
    ctrl.saveConfiguration();
    return host.exitStatus(EXIT_DONE);
}

}  // namespace kaptor::cli
