// Image1: a box that shows one picture at its natural size from its top left corner, clipped
// by the box, as an image box does. A new picture replaces the previous one.
#pragma once

#include <windows.h>

#include <ocidl.h>
#include <olectl.h>

namespace kaptor::kapshot {

// Registers the box's window class once per process.
bool registerImageBoxClass(HINSTANCE instance);
extern const wchar_t IMAGE_BOX_CLASS[];

// Makes picture (which may be null) the box's picture; the box holds its own reference.
void setImageBoxPicture(HWND box, IPicture* picture);

}  // namespace kaptor::kapshot
