// Labels laid out for one system font may not hold their text where the dialog's font is wider
// (another system, another font substitute): such a label grows to the right, as far as the
// control beside it allows, instead of wrapping and losing its last line.
#pragma once

#include <windows.h>

namespace kaptor::win32 {

void widenLabelsToTheirText(HWND dialog);

}  // namespace kaptor::win32
