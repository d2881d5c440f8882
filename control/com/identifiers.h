// The module's five identifiers, fixed for the life of the product, with the names and numbers
// a host and the registry see. The type library source includes this file too, so the text
// forms come first and the C++ forms, built from the same digits, stand behind __cplusplus.
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

// The type library KAPTORAXLib.
inline constexpr GUID LIBID_KAPTORAXLib{
    0x09CD7127, 0xDA5C, 0x4080, {0xA3, 0xC3, 0xBF, 0x57, 0xA9, 0x77, 0x79, 0x76}};
// The dispatch interface _DKAPTORAX.
inline constexpr GUID DIID_DKAPTORAX{
    0xFCC0EBE3, 0x9601, 0x40A6, {0x8D, 0x48, 0x2E, 0xB4, 0x5C, 0xB7, 0x84, 0xCD}};
// The event interface _DKAPTORAXEvents.
inline constexpr GUID DIID_DKAPTORAXEvents{
    0xF6D2A658, 0x2318, 0x4204, {0x80, 0x4C, 0xB5, 0xE6, 0xFD, 0xB0, 0x96, 0x5E}};
// The control class KAPTORAX.
inline constexpr GUID CLSID_KAPTORAX{
    0x5D0AC0E8, 0x5E29, 0x4C20, {0x94, 0x7F, 0xCF, 0x0C, 0x49, 0x32, 0x36, 0xEC}};
// The property page class.
inline constexpr GUID CLSID_KAPTORAXPropPage{
    0xB549DDBA, 0xD1C3, 0x4995, {0x87, 0xF8, 0x63, 0xB6, 0x91, 0x8A, 0x14, 0x19}};

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
