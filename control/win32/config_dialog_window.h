// The configuration dialog's window: dialog template 201 over the dialog logic.
#pragma once

// The portable headers come before the Windows headers: some of their constants share names
// with Windows macros.
#include "control/board_config_dlg.h"

#include <windows.h>

namespace kaptor::win32 {
// Runs dialog 201 modally over the dialog logic; owner may be null.
void runConfigDialogWindow(HINSTANCE module, HWND owner, control::CBoardConfigDlg& dialog);
}  // namespace kaptor::win32
