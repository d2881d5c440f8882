// What the headless host builds a control on: the files of the mapped drives, the console as
// operator, the real clock, the process exit, the system's library loader.
#pragma once

#include <deque>
#include <memory>
#include <string>

#include "control/kaptorax_ctrl.h"
#include "platform/clock.h"
#include "platform/console_operator.h"
#include "platform/file_system.h"
#include "platform/library_loader.h"
#include "platform/process_exit.h"

namespace kaptor::cli {

// The host has no windows: the configuration dialog closes as CANCELAR and says why.
class ConsoleDialogRunner : public control::DialogRunner {
  public:
    explicit ConsoleDialogRunner(platform::Operator& person) : operator_(person) {}
    void runConfigDialog(control::CBoardConfigDlg& dialog) override;
    void runAboutBox() override;

  private:
    platform::Operator& operator_;
};

struct HostOptions {
    std::deque<platform::Answer> answers;
    bool simulator = false;  // load the simulated board installed beside kaptor
};

class Host {
  public:
    explicit Host(HostOptions options);

    control::CKAPTORAXCtrl& control() { return *control_; }
    platform::FileSystem& files() { return files_; }
    platform::Operator& person() { return operator_; }

  private:
    platform::HostFileSystem files_;
    platform::ConsoleOperator operator_;
    platform::RealClock clock_;
    platform::RealProcessExit processExit_;
    platform::SystemLibraryLoader libraries_;
    ConsoleDialogRunner dialogs_;
    std::unique_ptr<control::CKAPTORAXCtrl> control_;
};

// The simulated board's library installed beside this program, if there is one.
std::string simulatorLibraryPath();

}  // namespace kaptor::cli
