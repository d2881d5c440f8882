// What the headless host builds a control on: the files of the mapped drives, the console as
// operator, the real clock, the process exit, the system's library loader.
#pragma once

#include <deque>
#include <memory>
#include <string>

#include "cli/dialog_steps.h"
#include "control/kaptorax_ctrl.h"
#include "platform/clock.h"
#include "platform/console_operator.h"
#include "platform/file_system.h"
#include "platform/library_loader.h"
#include "platform/process_exit.h"

namespace kaptor::cli {

struct HostOptions {
    std::deque<platform::Answer> answers;
    bool simulator = false;              // load the simulated board installed beside kaptor
    std::deque<DialogStep> dialogSteps;  // what a person does in the configuration dialog
};

class Host {
  public:
    explicit Host(HostOptions options);

    control::CKAPTORAXCtrl& control() { return *control_; }
    platform::FileSystem& files() { return files_; }
    platform::Operator& person() { return operator_; }
    bool dialogStepRefused() const { return dialogs_.stepRefused(); }

  private:
    platform::HostFileSystem files_;
    platform::ConsoleOperator operator_;
    platform::RealClock clock_;
    platform::RealProcessExit processExit_;
    platform::SystemLibraryLoader libraries_;
    SteppedDialogRunner dialogs_;
    std::unique_ptr<control::CKAPTORAXCtrl> control_;
};

// The simulated board's library installed beside this program, if there is one.
std::string simulatorLibraryPath();

}  // namespace kaptor::cli
