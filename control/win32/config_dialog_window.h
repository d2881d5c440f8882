// Dialog 201 on Win32: the real window of the configuration dialog, over its logic.
#pragma once

// The portable headers come first: windows.h defines macros that clash with their names.
#include "control/board_config_dlg.h"

#include <windows.h>

namespace kaptor::win32 {

// Runs dialog 201 modally over the dialog logic; owner may be null.
void runConfigDialogWindow(HINSTANCE module, HWND owner, control::CBoardConfigDlg& dialog);

}  // namespace kaptor::win32
