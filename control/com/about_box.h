// The about box: dialog 1 (title, icon, "KAPTORAX Control, Version 1.0", OK), shown modally
// without a parent window; OK or Escape closes it.
#pragma once

#include <windows.h>

namespace kaptor::com {

void showAboutBox(HINSTANCE module);

}  // namespace kaptor::com
