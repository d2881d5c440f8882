#include "control/com/registration.h"

#include <oleauto.h>

#include <string_view>
#include <vector>

#include "control/com/identifiers.h"
#include "control/com/module.h"
#include "control/res/resource.h"
#include "platform/win32/wide_text.h"

namespace kaptor::com {
namespace {

// One value under HKEY_CLASSES_ROOT: subkey, value name (empty: the key's default), text.
struct RegistryValue {
    std::wstring key;
    std::wstring name;
    std::wstring text;
};

bool writeValues(const std::vector<RegistryValue>& values) {
    for (const RegistryValue& value : values) {
        HKEY key = nullptr;
        if (::RegCreateKeyExW(HKEY_CLASSES_ROOT, value.key.c_str(), 0, nullptr, 0, KEY_WRITE,
                              nullptr, &key, nullptr) != ERROR_SUCCESS) {
            return false;
        }
        const auto bytes = static_cast<DWORD>((value.text.size() + 1) * sizeof(wchar_t));
        const LSTATUS status =
            ::RegSetValueExW(key, value.name.empty() ? nullptr : value.name.c_str(), 0, REG_SZ,
                             reinterpret_cast<const BYTE*>(value.text.c_str()), bytes);
        ::RegCloseKey(key);
        if (status != ERROR_SUCCESS) {
            return false;
        }
    }
    return true;
}

// Removes a key with everything below it; a key that is not there counts as removed.
bool removeTree(const std::wstring& key) {
    const LSTATUS status = ::RegDeleteTreeW(HKEY_CLASSES_ROOT, key.c_str());
    if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND) {
        return false;
    }
    const LSTATUS removed = ::RegDeleteKeyW(HKEY_CLASSES_ROOT, key.c_str());
    return removed == ERROR_SUCCESS || removed == ERROR_FILE_NOT_FOUND;
}

std::vector<RegistryValue> controlClassValues(const std::wstring& modulePath) {
    const std::wstring clsidKey = L"CLSID\\" + guidText(CLSID_KAPTORAX);
    const std::wstring typeName = module::loadString(IDS_KAPTORAX);
    const std::wstring progId = platform::cp1252ToWide(CONTROL_PROGID);
    const std::wstring independentProgId =
        platform::cp1252ToWide(CONTROL_VERSION_INDEPENDENT_PROGID);
    const std::wstring clsid = guidText(CLSID_KAPTORAX);
    return {
        {clsidKey, L"", typeName},
        {clsidKey + L"\\ProgID", L"", progId},
        {clsidKey + L"\\VersionIndependentProgID", L"", independentProgId},
        {clsidKey + L"\\InprocServer32", L"", modulePath},
        {clsidKey + L"\\InprocServer32", L"ThreadingModel", L"Apartment"},
        {clsidKey + L"\\ToolboxBitmap32", L"", modulePath + L", " + std::to_wstring(IDB_KAPTORAX)},
        {clsidKey + L"\\MiscStatus", L"", L"0"},
        {clsidKey + L"\\MiscStatus\\1", L"", std::to_wstring(CONTROL_MISC_STATUS)},
        {clsidKey + L"\\Control", L"", L""},
        {clsidKey + L"\\TypeLib", L"", guidText(LIBID_KAPTORAXLib)},
        {clsidKey + L"\\Version", L"",
         std::to_wstring(TYPELIB_MAJOR) + L"." + std::to_wstring(TYPELIB_MINOR)},
        {progId, L"", typeName},
        {progId + L"\\CLSID", L"", clsid},
        {independentProgId, L"", typeName},
        {independentProgId + L"\\CLSID", L"", clsid},
        {independentProgId + L"\\CurVer", L"", progId},
    };
}

std::vector<RegistryValue> propertyPageValues(const std::wstring& modulePath) {
    const std::wstring clsidKey = L"CLSID\\" + guidText(CLSID_KAPTORAXPropPage);
    return {
        {clsidKey, L"", module::loadString(IDS_KAPTORAX_PPG)},
        {clsidKey + L"\\InprocServer32", L"", modulePath},
        {clsidKey + L"\\InprocServer32", L"ThreadingModel", L"Apartment"},
    };
}

constexpr SYSKIND THIS_SYSKIND = sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32;

}  // namespace

std::wstring guidText(REFGUID guid) {
    wchar_t text[40] = {};
    ::StringFromGUID2(guid, text, 40);
    return text;
}

bool registerTypeLibrary(const std::wstring& modulePath) {
    ITypeLib* library = nullptr;
    // The module's path alone names its first TYPELIB resource.
    if (FAILED(::LoadTypeLibEx(modulePath.c_str(), REGKIND_NONE, &library))) {
        return false;
    }
    TLIBATTR* attributes = nullptr;
    bool ours = false;
    if (SUCCEEDED(library->GetLibAttr(&attributes))) {
        ours = IsEqualGUID(attributes->guid, LIBID_KAPTORAXLib) != FALSE;
        library->ReleaseTLibAttr(attributes);
    }
    std::wstring pathCopy = modulePath;
    const bool registered = ours && SUCCEEDED(::RegisterTypeLib(library, pathCopy.data(), nullptr));
    library->Release();
    return registered;
}

bool unregisterTypeLibrary() {
    return SUCCEEDED(::UnRegisterTypeLib(LIBID_KAPTORAXLib, TYPELIB_MAJOR, TYPELIB_MINOR,
                                         TYPELIB_LOCALE, THIS_SYSKIND));
}

bool registerClasses(const std::wstring& modulePath) {
    return writeValues(controlClassValues(modulePath)) &&
           writeValues(propertyPageValues(modulePath));
}

bool unregisterClasses() {
    const bool control = removeTree(L"CLSID\\" + guidText(CLSID_KAPTORAX)) &&
                         removeTree(platform::cp1252ToWide(CONTROL_PROGID)) &&
                         removeTree(platform::cp1252ToWide(CONTROL_VERSION_INDEPENDENT_PROGID));
    const bool page = removeTree(L"CLSID\\" + guidText(CLSID_KAPTORAXPropPage));
    return control && page;
}

HRESULT registerServer(const std::wstring& modulePath) {
    if (modulePath.empty() || !registerTypeLibrary(modulePath)) {
        return SELFREG_TYPELIB_FAILED;
    }
    if (!registerClasses(modulePath)) {
        // A half-written class would send hosts to a module that cannot serve it.
        unregisterClasses();
        return SELFREG_CLASS_FAILED;
    }
    return S_OK;
}

HRESULT unregisterServer() {
    if (!unregisterTypeLibrary()) {
        return SELFREG_TYPELIB_FAILED;
    }
    return unregisterClasses() ? S_OK : SELFREG_CLASS_FAILED;
}

}  // namespace kaptor::com
