// What the headless host builds a control on: the files of the mapped drives, the console as
// operator (watched for failures), the real clock, the process exit, the system's library
// loader (which says in one line why a driver library did not load), and which driver library
// it loads: the simulated board's, KAPTOR_D2XX_LIBRARY's, or ours for a real board.
#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "cli/dialog_steps.h"
#include "cli/watching_operator.h"
#include "control/kaptorax_ctrl.h"
#include "host/hosted_control.h"
#include "platform/clock.h"
#include "platform/console_operator.h"
#include "platform/process_exit.h"

namespace kaptor::cli {

struct HostOptions {
    std::deque<platform::Answer> answers;
    bool simulator = false;              // load the simulated board installed beside kaptor
    bool quiet = false;                  // no beep, no progress line
    std::string device;                  // the board's serial number, among several alike
    std::deque<DialogStep> dialogSteps;  // what a person does in the configuration dialog
    std::string programName;             // argv[0], where the system cannot tell our own file
};

class Host {
  public:
    // Throws Refusal when --sim was asked for and the simulated board is not installed.
    explicit Host(HostOptions options);

    control::CKAPTORAXCtrl& control() { return hosted_.control(); }
    platform::FileSystem& files() { return hosted_.files(); }
    // The picture of the last Toma to PictureCatcher::PATH.
    std::optional<std::string> takeCaughtPicture() { return hosted_.files().take(); }
    platform::Operator& person() { return watcher_; }
    // The loader the control uses: "Ftd2xx.dll" is the driver library this host chose.
    platform::LibraryLoader& libraries() { return hosted_.libraries(); }
    WatchingOperator& watcher() { return watcher_; }

    // EXIT_FAILURE_SHOWN when the control showed a failure, else status.
    int exitStatus(int status) const;

    // On a drive without a selector yet, one line that points to 'kaptor config init'.
    void suggestInitWhenUnconfigured();

    // A --dialog step could not be taken.
    bool dialogStepRefused() const { return dialogs_.stepRefused(); }

  private:
    platform::ConsoleOperator console_;
    WatchingOperator watcher_;
    platform::RealClock clock_;
    platform::RealProcessExit processExit_;
    SteppedDialogRunner dialogs_;
    host::HostedControl hosted_;
};

// Where a library of ours (the simulated board's, the driver for a real board) may lie, beside
// this program or installed with it; the first that exists is used. Nothing when the program's
// own file cannot be found.
std::optional<std::vector<std::filesystem::path>> libraryCandidates(std::string_view programName,
                                                                    std::string_view file);

}  // namespace kaptor::cli
