// Texts handed to a COM caller in memory the caller frees with CoTaskMemFree.
#pragma once

#include <objbase.h>

#include <string>

namespace kaptor::com {

// A copy of text, or nullptr when no memory is left.
LPOLESTR taskMemoryCopy(const std::wstring& text);

}  // namespace kaptor::com
