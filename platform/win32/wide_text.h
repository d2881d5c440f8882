// The control's Windows-1252 text as the wide strings of the Win32 API (UTF-16 there), and back.
#pragma once

#include <string>
#include <string_view>

#include "platform/text.h"

namespace kaptor::platform {

inline std::wstring cp1252ToWide(std::string_view text) {
    const std::u16string utf16 = cp1252ToUtf16(text);
    return std::wstring(utf16.begin(), utf16.end());
}

inline std::string wideToCp1252(std::wstring_view text) {
    return utf16ToCp1252(std::u16string(text.begin(), text.end()));
}

}  // namespace kaptor::platform
