// Text as the control keeps it: 8-bit Windows-1252 strings. Conversions to UTF-8 (file names,
// console, toolkit) and UTF-16 (automation strings) happen at the edges, and the C-runtime
// number conversions the configuration files rely on live here too.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kaptor::platform {

// Every byte maps to one code point; the five unassigned bytes (0x81, 0x8D, 0x8F, 0x90, 0x9D)
// map to the C1 control of the same value, so the conversion never loses a byte.
std::string cp1252ToUtf8(std::string_view text);
std::u16string cp1252ToUtf16(std::string_view text);

// Code points without a Windows-1252 byte become '?'; malformed UTF-8 sequences too.
std::string utf8ToCp1252(std::string_view text);
std::string utf16ToCp1252(std::u16string_view text);
std::u16string utf8ToUtf16(std::string_view text);
std::string utf16ToUtf8(std::u16string_view text);

// Exact conversion or nothing: for names on disk that must map back to the same bytes.
std::optional<std::string> utf8ToCp1252Exact(std::string_view text);

// Text a host hands to the control, taken exactly or refused: every character must have a
// Windows-1252 byte (nothing is replaced by '?'), and none may be NUL, which would end the
// control's string early (a path "a.ini<NUL>.bmp" would name a.ini). Malformed UTF-8 and lone
// surrogates are refused too.
std::optional<std::string> utf16ToControlText(std::u16string_view text);
std::optional<std::string> utf8ToControlText(std::string_view text);

// Upper and lower case letters of Windows-1252 compare equal, as file names do on the
// original file system.
char foldCase1252(char c);
bool equalsIgnoreCase1252(std::string_view a, std::string_view b);
// Strict weak order: case-insensitive, ties broken by the bytes themselves.
bool lessIgnoreCase1252(std::string_view a, std::string_view b);

// The C runtime's atoi: skip white space (blank, tab, CR, LF, vertical tab, form feed), one
// optional sign, decimal digits up to the first other character, 0 when there is none. Numbers
// beyond 32 bits saturate at INT32_MIN / INT32_MAX.
std::int32_t atoi32(std::string_view text);

// Signed decimal: optional "-", digits, no leading zeros.
std::string itoa32(std::int32_t value);

}  // namespace kaptor::platform
