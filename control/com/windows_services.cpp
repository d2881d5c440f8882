#include "control/com/windows_services.h"

#include "control/com/about_box.h"
#include "control/com/identifiers.h"
#include "control/win32/config_dialog_window.h"

namespace kaptor::com {

Win32DialogRunner::Win32DialogRunner(HINSTANCE module, std::function<HWND()> owner)
    : module_(module), owner_(std::move(owner)) {}

void Win32DialogRunner::runConfigDialog(control::CBoardConfigDlg& dialog) {
    win32::runConfigDialogWindow(module_, owner_(), dialog);
}

void Win32DialogRunner::runAboutBox() {
    showAboutBox(module_);
}

WindowsServices::WindowsServices(HINSTANCE module, std::function<HWND()> owner)
    : files_(platform::DriveMap::fromEnvironment(std::getenv)),
      person_(CONTROL_NAME, owner),
      libraries_(std::getenv),
      dialogs_(module, std::move(owner)) {}

control::ControlServices WindowsServices::services() {
    return {files_, person_, clock_, processExit_, libraries_, dialogs_};
}

}  // namespace kaptor::com
