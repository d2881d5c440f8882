// Self-registration of KAPTORAX.ocx under Wine: the keys and values hosts read, their removal,
// the failure of a module without its type library, regsvr32, and the type library read back.
#include "tests/windows/com_support.h"

#include <tuple>

namespace kaptor::test {
namespace {

// "{XXXXXXXX-...}" as the registry spells a GUID.
std::wstring guidText(REFGUID guid) {
    wchar_t text[40] = {};
    ::StringFromGUID2(guid, text, 40);
    return text;
}

// The default or named text value of a key under HKEY_CLASSES_ROOT, nothing when the key or
// value is missing.
std::optional<std::wstring> classesValue(const std::wstring& key, const wchar_t* name = nullptr) {
    wchar_t buffer[1024] = {};
    DWORD bytes = sizeof buffer;
    if (::RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), name, RRF_RT_REG_SZ, nullptr, buffer,
                       &bytes) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    return std::wstring(buffer);
}

// RegQueryValueW answers an existing key without a default value with an empty text.
bool classesKeyExists(const std::wstring& key) {
    return ::RegQueryValueW(HKEY_CLASSES_ROOT, key.c_str(), nullptr, nullptr) == ERROR_SUCCESS;
}

const std::wstring CONTROL_KEY = L"CLSID\\" + guidText(com::CLSID_KAPTORAX);
const std::wstring PAGE_KEY = L"CLSID\\" + guidText(com::CLSID_KAPTORAXPropPage);
const std::wstring LIBRARY_KEY = L"TypeLib\\" + guidText(com::LIBID_KAPTORAXLib);

TEST(ComRegistration, RegisterWritesWhatHostsRead) {
    ASSERT_EQ(callModuleExport(modulePath(), "DllRegisterServer"), S_OK);
    const std::wstring path = modulePath().wstring();
    struct Case {
        std::wstring key;
        const wchar_t* name;
        std::wstring value;
    } cases[] = {
        {CONTROL_KEY, nullptr, L"KAPTORAX Control"},
        {CONTROL_KEY + L"\\ProgID", nullptr, L"KAPTORAX.KAPTORAXCtrl.1"},
        {CONTROL_KEY + L"\\VersionIndependentProgID", nullptr, L"KAPTORAX.KAPTORAXCtrl"},
        {CONTROL_KEY + L"\\InprocServer32", L"ThreadingModel", L"Apartment"},
        {CONTROL_KEY + L"\\ToolboxBitmap32", nullptr, path + L", 1"},
        {CONTROL_KEY + L"\\MiscStatus", nullptr, L"0"},
        {CONTROL_KEY + L"\\MiscStatus\\1", nullptr, L"131473"},
        {CONTROL_KEY + L"\\Control", nullptr, L""},
        {CONTROL_KEY + L"\\TypeLib", nullptr, guidText(com::LIBID_KAPTORAXLib)},
        {CONTROL_KEY + L"\\Version", nullptr, L"1.0"},
        {L"KAPTORAX.KAPTORAXCtrl.1", nullptr, L"KAPTORAX Control"},
        {L"KAPTORAX.KAPTORAXCtrl.1\\CLSID", nullptr, guidText(com::CLSID_KAPTORAX)},
        {L"KAPTORAX.KAPTORAXCtrl\\CurVer", nullptr, L"KAPTORAX.KAPTORAXCtrl.1"},
        {PAGE_KEY, nullptr, L"KAPTORAX Property Page"},
        {PAGE_KEY + L"\\InprocServer32", L"ThreadingModel", L"Apartment"},
        {LIBRARY_KEY + L"\\1.0", nullptr, L"KAPTORAX ActiveX Control module"},
        // The servers are this module.
        {CONTROL_KEY + L"\\InprocServer32", nullptr, path},
        {PAGE_KEY + L"\\InprocServer32", nullptr, path},
        {LIBRARY_KEY + L"\\1.0\\409\\win64", nullptr, path},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(classesValue(c.key, c.name), c.value) << std::string(c.key.begin(), c.key.end());
    }
    EXPECT_FALSE(classesKeyExists(PAGE_KEY + L"\\ProgID"));
    EXPECT_FALSE(classesKeyExists(CONTROL_KEY + L"\\Insertable"));

    // The registered type library, as an object browser reads it. Its members' names and ids:
    // ComControl.NamesAndTypeInformationComeFromTheTypeLibrary.
    ComPtr<ITypeLib> library;
    ASSERT_EQ(::LoadRegTypeLib(com::LIBID_KAPTORAXLib, 1, 0, 0x409, library.GetAddressOf()), S_OK);
    TLIBATTR* attributes = nullptr;
    ASSERT_EQ(library->GetLibAttr(&attributes), S_OK);
    BSTR help = nullptr;
    BSTR helpFile = nullptr;
    ASSERT_EQ(library->GetDocumentation(-1, nullptr, &help, nullptr, &helpFile), S_OK);
    EXPECT_EQ(std::tuple(attributes->lcid, attributes->wMajorVerNum, attributes->wMinorVerNum,
                         attributes->wLibFlags & LIBFLAG_FCONTROL, std::wstring(help),
                         std::wstring(helpFile).find(L"KAPTORAX.hlp") != std::wstring::npos),
              std::tuple(LCID{0x409}, WORD{1}, WORD{0}, int{LIBFLAG_FCONTROL},
                         L"KAPTORAX ActiveX Control module", true));
    library->ReleaseTLibAttr(attributes);
    ::SysFreeString(help);
    ::SysFreeString(helpFile);
    // Each type: its kind, which of the flags below it has, its own functions and variables (not
    // those of IDispatch), its help text, and the flags of the interfaces it implements (the
    // coclass: the dispatch interface as default, the events as default source).
    constexpr WORD FLAGS =
        TYPEFLAG_FHIDDEN | TYPEFLAG_FDISPATCHABLE | TYPEFLAG_FCANCREATE | TYPEFLAG_FCONTROL;
    const struct {
        GUID guid;
        TYPEKIND kind;
        WORD flags;
        WORD functions;
        WORD variables;
        std::wstring help;
        std::vector<INT> implemented;
    } types[] = {
        // clang-format off
        {com::DIID_DKAPTORAX, TKIND_DISPATCH, TYPEFLAG_FHIDDEN | TYPEFLAG_FDISPATCHABLE, 4, 2,
         L"Dispatch interface for KAPTORAX Control", {0}},
        {com::DIID_DKAPTORAXEvents, TKIND_DISPATCH, TYPEFLAG_FDISPATCHABLE, 0, 0,
         L"Event interface for KAPTORAX Control", {0}},
        {com::CLSID_KAPTORAX, TKIND_COCLASS, TYPEFLAG_FCANCREATE | TYPEFLAG_FCONTROL, 0, 0,
         L"KAPTORAX Control", {IMPLTYPEFLAG_FDEFAULT, IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE}},
        // clang-format on
    };
    for (const auto& c : types) {
        ComPtr<ITypeInfo> info;
        ASSERT_EQ(library->GetTypeInfoOfGuid(c.guid, info.GetAddressOf()), S_OK);
        TYPEATTR* type = nullptr;
        ASSERT_EQ(info->GetTypeAttr(&type), S_OK);
        info->GetDocumentation(MEMBERID_NIL, nullptr, &help, nullptr, nullptr);
        std::vector<INT> implemented(type->cImplTypes);
        for (UINT i = 0; i < implemented.size(); ++i) {
            info->GetImplTypeFlags(i, &implemented[i]);
        }
        EXPECT_EQ(std::tuple(type->typekind, static_cast<WORD>(type->wTypeFlags & FLAGS),
                             type->cFuncs, type->cVars, std::wstring(help), implemented),
                  std::tuple(c.kind, c.flags, c.functions, c.variables, c.help, c.implemented));
        ::SysFreeString(help);
        info->ReleaseTypeAttr(type);
    }
}

void expectNoKeyLeft() {
    for (const std::wstring& key : {CONTROL_KEY, PAGE_KEY, std::wstring(L"KAPTORAX.KAPTORAXCtrl.1"),
                                    std::wstring(L"KAPTORAX.KAPTORAXCtrl"), LIBRARY_KEY,
                                    L"Interface\\" + guidText(com::DIID_DKAPTORAX),
                                    L"Interface\\" + guidText(com::DIID_DKAPTORAXEvents)}) {
        EXPECT_FALSE(classesKeyExists(key)) << std::string(key.begin(), key.end());
    }
}

// regsvr32 finds the module's exports; unregistering removes every key registering wrote, and
// the keys of other classes stay. The same module built without TYPELIB 1 registers nothing.
TEST(ComRegistration, Regsvr32RegistersAndUnregistersEveryKey) {
    const std::wstring quoted = L"\"" + modulePath().wstring() + L"\"";
    EXPECT_EQ(Program(L"regsvr32.exe /s " + quoted).waitForExit(60000), std::optional<DWORD>(0));
    EXPECT_TRUE(classesKeyExists(CONTROL_KEY + L"\\InprocServer32"));
    EXPECT_EQ(Program(L"regsvr32.exe /s /u " + quoted).waitForExit(60000), std::optional<DWORD>(0));
    expectNoKeyLeft();
    EXPECT_TRUE(classesKeyExists(L"CLSID\\{00020420-0000-0000-C000-000000000046}"));
    // Unregistering again finds no library to remove.
    EXPECT_EQ(callModuleExport(modulePath(), "DllUnregisterServer"), SELFREG_E_TYPELIB);
    const auto copy = besideTestProgram(L"KAPTORAX_without_typelib.ocx");
    EXPECT_EQ(callModuleExport(copy, "DllRegisterServer"), SELFREG_E_TYPELIB);
    expectNoKeyLeft();
}

}  // namespace
}  // namespace kaptor::test
