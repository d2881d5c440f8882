// Where the program finds the picture the control wrote: the control's path seen through the
// same drive redirections the control applies (KAPTOR_DRIVE_<LETTER>, KAPTOR_CURRENT_DRIVE), so
// both look at one file. Without redirections this is the path itself.
#pragma once

#include <string>

namespace kaptor::kapshot {

std::wstring pictureFilePath(const std::wstring& controlPath);

}  // namespace kaptor::kapshot
