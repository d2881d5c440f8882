// The control's picture, the same in every state: a white rectangle with the product's name at
// its top left, clipped to the rectangle, in the font, colour and mode the device context brings.
#pragma once

#include <windows.h>

namespace kaptor::com {

void drawControl(HDC dc, const RECT& bounds);

}  // namespace kaptor::com
