// The host services of one control on Windows: the Win32 file system on the system's drives,
// MessageBoxA with the control's name as caption, the real clock, LoadLibraryA, the real
// process exit, and the control's modal windows.
#pragma once

// The portable headers come before the Windows headers: some of their constants share names
// with Windows macros.
#include "control/board_config_dlg.h"
#include "control/control_services.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/library_loader.h"
#include "platform/process_exit.h"

#include <windows.h>

#include <cstdlib>
#include <functional>

#include "platform/win32/message_box_operator.h"

namespace kaptor::com {

// Runs the configuration dialog's window and the about box, owned by the window that owner
// names when they open.
class Win32DialogRunner : public control::DialogRunner {
  public:
    Win32DialogRunner(HINSTANCE module, std::function<HWND()> owner);
    void runConfigDialog(control::CBoardConfigDlg& dialog) override;
    void runAboutBox() override;

  private:
    HINSTANCE module_;
    std::function<HWND()> owner_;
};

class WindowsServices {
  public:
    // owner names the window the control's message boxes and dialogs belong to.
    WindowsServices(HINSTANCE module, std::function<HWND()> owner);
    WindowsServices(const WindowsServices&) = delete;
    WindowsServices& operator=(const WindowsServices&) = delete;

    control::ControlServices services();

  private:
    platform::HostFileSystem files_;
    platform::MessageBoxOperator person_;
    platform::RealClock clock_;
    platform::RealProcessExit processExit_;
    platform::SystemLibraryLoader libraries_;
    Win32DialogRunner dialogs_;
};

}  // namespace kaptor::com
