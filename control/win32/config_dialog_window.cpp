#include "control/win32/config_dialog_window.h"

namespace kaptor::win32 {

// Stands in until the dialog's window exists: the dialog is left as it was, which the control
// takes as CANCELAR.
void runConfigDialogWindow(HINSTANCE, HWND, control::CBoardConfigDlg&) {}

}  // namespace kaptor::win32
