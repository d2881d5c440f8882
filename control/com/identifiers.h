// The module's five identifiers, fixed for the life of the product, with the names and numbers
// a host and the registry see. Each is written once, as the uuid literal the type library source
// takes (it includes this file); the C++ GUIDs are read from the same text at compile time.
#ifndef KAPTOR_CONTROL_COM_IDENTIFIERS_H
#define KAPTOR_CONTROL_COM_IDENTIFIERS_H

// The text forms are uuid literals of the type library source, not C++ expressions.
// clang-format off
#define KAPTORAX_LIBID_TEXT 09CD7127-DA5C-4080-A3C3-BF57A9777976
#define KAPTORAX_DIID_TEXT FCC0EBE3-9601-40A6-8D48-2EB45CB784CD
#define KAPTORAX_EVENTS_IID_TEXT F6D2A658-2318-4204-804C-B5E6FDB0965E
#define KAPTORAX_CLSID_TEXT 5D0AC0E8-5E29-4C20-947F-CF0C493236EC
#define KAPTORAX_PROPPAGE_CLSID_TEXT B549DDBA-D1C3-4995-87F8-63B6918A1419
// clang-format on

#ifdef __cplusplus
#include <windows.h>

namespace kaptor::com {
namespace detail {

constexpr unsigned hexDigit(char c) {
    return c >= '0' && c <= '9'   ? static_cast<unsigned>(c - '0')
           : c >= 'A' && c <= 'F' ? static_cast<unsigned>(c - 'A' + 10)
           : c >= 'a' && c <= 'f' ? static_cast<unsigned>(c - 'a' + 10)
                                  : throw "not a hexadecimal digit";
}

constexpr unsigned long hexField(const char* text, int first, int digits) {
    unsigned long value = 0;
    for (int i = first; i < first + digits; ++i) {
        value = value * 16 + hexDigit(text[i]);
    }
    return value;
}

// The GUID of a uuid literal, "XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX", at compile time: a
// literal of another shape does not compile.
constexpr GUID guidOf(const char* text) {
    if (text[8] != '-' || text[13] != '-' || text[18] != '-' || text[23] != '-' ||
        text[36] != '\0') {
        throw "not a uuid literal";
    }
    GUID guid{static_cast<unsigned long>(hexField(text, 0, 8)),
              static_cast<unsigned short>(hexField(text, 9, 4)),
              static_cast<unsigned short>(hexField(text, 14, 4)),
              {}};
    for (int i = 0; i < 8; ++i) {
        const int at = i < 2 ? 19 + 2 * i : 24 + 2 * (i - 2);
        guid.Data4[i] = static_cast<unsigned char>(hexField(text, at, 2));
    }
    return guid;
}

}  // namespace detail

#define KAPTORAX_UUID_STRING(text) #text
#define KAPTORAX_GUID(text) ::kaptor::com::detail::guidOf(KAPTORAX_UUID_STRING(text))

// The type library KAPTORAXLib.
inline constexpr GUID LIBID_KAPTORAXLib = KAPTORAX_GUID(KAPTORAX_LIBID_TEXT);
// The dispatch interface _DKAPTORAX.
inline constexpr GUID DIID_DKAPTORAX = KAPTORAX_GUID(KAPTORAX_DIID_TEXT);
// The event interface _DKAPTORAXEvents.
inline constexpr GUID DIID_DKAPTORAXEvents = KAPTORAX_GUID(KAPTORAX_EVENTS_IID_TEXT);
// The control class KAPTORAX.
inline constexpr GUID CLSID_KAPTORAX = KAPTORAX_GUID(KAPTORAX_CLSID_TEXT);
// The property page class.
inline constexpr GUID CLSID_KAPTORAXPropPage = KAPTORAX_GUID(KAPTORAX_PROPPAGE_CLSID_TEXT);

inline constexpr const char* CONTROL_PROGID = "KAPTORAX.KAPTORAXCtrl.1";
inline constexpr const char* CONTROL_VERSION_INDEPENDENT_PROGID = "KAPTORAX.KAPTORAXCtrl";
inline constexpr const char* PROPPAGE_PROGID = "KAPTORAX.KAPTORAXPropPage.1";
// The name message boxes carry as their caption.
inline constexpr const char* CONTROL_NAME = "KAPTORAX";

inline constexpr WORD TYPELIB_MAJOR = 1;
inline constexpr WORD TYPELIB_MINOR = 0;
inline constexpr LCID TYPELIB_LOCALE = 0x0409;

// OLEMISC_ACTIVATEWHENVISIBLE | SETCLIENTSITEFIRST | INSIDEOUT | CANTLINKINSIDE |
// RECOMPOSEONRESIZE.
inline constexpr DWORD CONTROL_MISC_STATUS = 0x20191;

}  // namespace kaptor::com
#endif

#endif
