// What self-registration writes: the type library from the module's own resource, the control
// class with its ProgIDs, and the property page class. Unregistration removes exactly that.
#pragma once

#include <windows.h>

#include <string>

namespace kaptor::com {

// Results of DllRegisterServer and DllUnregisterServer.
inline constexpr HRESULT SELFREG_TYPELIB_FAILED = static_cast<HRESULT>(0x80040200);
inline constexpr HRESULT SELFREG_CLASS_FAILED = static_cast<HRESULT>(0x80040201);

// "{XXXXXXXX-...}" as the registry spells a GUID.
std::wstring guidText(REFGUID guid);

// Registers the library from modulePath's TYPELIB resource 1.
bool registerTypeLibrary(const std::wstring& modulePath);
bool unregisterTypeLibrary();

// Every class of the module at once, as one step of self-registration.
bool registerClasses(const std::wstring& modulePath);
bool unregisterClasses();

// The two steps in order, with the module's results.
HRESULT registerServer(const std::wstring& modulePath);
HRESULT unregisterServer();

}  // namespace kaptor::com
