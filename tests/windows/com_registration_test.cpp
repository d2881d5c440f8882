// Self-registration of KAPTORAX.ocx under Wine: the keys and values hosts read, their removal,
// the failure of a module without its type library, regsvr32, and the type library read back.
#include "tests/windows/com_support.h"

#include <gtest/gtest.h>

#include "control/com/identifiers.h"

namespace kaptor::test {
namespace {

const std::wstring CONTROL_KEY = L"CLSID\\" + guidText(com::CLSID_KAPTORAX);
const std::wstring PAGE_KEY = L"CLSID\\" + guidText(com::CLSID_KAPTORAXPropPage);
const std::wstring LIBRARY_KEY = L"TypeLib\\" + guidText(com::LIBID_KAPTORAXLib);

// Every key registration writes, and the library's.
std::vector<std::wstring> registeredKeys() {
    return {CONTROL_KEY,
            PAGE_KEY,
            L"KAPTORAX.KAPTORAXCtrl.1",
            L"KAPTORAX.KAPTORAXCtrl",
            LIBRARY_KEY,
            L"Interface\\" + guidText(com::DIID_DKAPTORAX),
            L"Interface\\" + guidText(com::DIID_DKAPTORAXEvents)};
}

void unregisterQuietly() {
    callModuleExport(modulePath(), "DllUnregisterServer");
}

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
    };
    for (const Case& c : cases) {
        const auto value = classesValue(c.key, c.name);
        ASSERT_TRUE(value.has_value()) << std::string(c.key.begin(), c.key.end());
        EXPECT_EQ(*value, c.value) << std::string(c.key.begin(), c.key.end());
    }
    // The servers are this module, whichever way its path is spelt.
    for (const std::wstring& key :
         {CONTROL_KEY + L"\\InprocServer32", PAGE_KEY + L"\\InprocServer32",
          LIBRARY_KEY + L"\\1.0\\409\\win64"}) {
        const auto value = classesValue(key);
        ASSERT_TRUE(value.has_value());
        EXPECT_NE(value->find(L"KAPTORAX.ocx"), std::wstring::npos);
    }
    EXPECT_FALSE(classesKeyExists(PAGE_KEY + L"\\ProgID"));
    EXPECT_FALSE(classesKeyExists(CONTROL_KEY + L"\\Insertable"));
}

TEST(ComRegistration, ModuleWithoutTypeLibraryRegistersNoClass) {
    unregisterQuietly();
    // The same module built without TYPELIB 1.
    const auto copy = besideTestProgram(L"KAPTORAX_without_typelib.ocx");
    EXPECT_EQ(callModuleExport(copy, "DllRegisterServer"), SELFREG_E_TYPELIB);
    for (const std::wstring& key : registeredKeys()) {
        EXPECT_FALSE(classesKeyExists(key)) << std::string(key.begin(), key.end());
    }
}

DWORD runProgram(const std::wstring& commandLine) {
    return Program(commandLine).waitForExit(60000).value_or(static_cast<DWORD>(-1));
}

// regsvr32 finds the module's exports; unregistering removes every key registering wrote.
TEST(ComRegistration, Regsvr32RegistersAndUnregistersEveryKey) {
    unregisterQuietly();
    const std::wstring quoted = L"\"" + modulePath().wstring() + L"\"";
    EXPECT_EQ(runProgram(L"regsvr32.exe /s " + quoted), 0u);
    EXPECT_TRUE(classesKeyExists(CONTROL_KEY + L"\\InprocServer32"));
    EXPECT_EQ(runProgram(L"regsvr32.exe /s /u " + quoted), 0u);
    for (const std::wstring& key : registeredKeys()) {
        EXPECT_FALSE(classesKeyExists(key)) << std::string(key.begin(), key.end());
    }
    // Keys of other classes stay.
    EXPECT_TRUE(classesKeyExists(L"CLSID\\{00020420-0000-0000-C000-000000000046}"));
    // Unregistering again finds no library to remove.
    EXPECT_EQ(callModuleExport(modulePath(), "DllUnregisterServer"), SELFREG_E_TYPELIB);
}

std::wstring documentation(ITypeLib& library, INT index, std::wstring* helpFile = nullptr) {
    BSTR name = nullptr;
    BSTR help = nullptr;
    BSTR file = nullptr;
    library.GetDocumentation(index, &name, &help, nullptr, &file);
    std::wstring out = help != nullptr ? help : L"";
    if (helpFile != nullptr) {
        *helpFile = file != nullptr ? file : L"";
    }
    ::SysFreeString(name);
    ::SysFreeString(help);
    ::SysFreeString(file);
    return out;
}

TEST(ComTypeLibrary, RegisteredLibraryDescribesTheControl) {
    Apartment apartment;
    ASSERT_EQ(callModuleExport(modulePath(), "DllRegisterServer"), S_OK);
    ComPtr<ITypeLib> library;
    ASSERT_EQ(::LoadRegTypeLib(com::LIBID_KAPTORAXLib, 1, 0, 0x409, library.GetAddressOf()), S_OK);
    TLIBATTR* attributes = nullptr;
    ASSERT_EQ(library->GetLibAttr(&attributes), S_OK);
    EXPECT_EQ(attributes->lcid, 0x409u);
    EXPECT_EQ(attributes->wMajorVerNum, 1);
    EXPECT_EQ(attributes->wMinorVerNum, 0);
    EXPECT_EQ(attributes->wLibFlags & LIBFLAG_FCONTROL, LIBFLAG_FCONTROL);
    library->ReleaseTLibAttr(attributes);
    std::wstring helpFile;
    EXPECT_EQ(documentation(*library.Get(), -1, &helpFile), L"KAPTORAX ActiveX Control module");
    EXPECT_NE(helpFile.find(L"KAPTORAX.hlp"), std::wstring::npos);

    struct TypeCase {
        GUID guid;
        TYPEKIND kind;
        WORD flags;   // flags that must be set
        WORD absent;  // flags that must not be set
        UINT functions;
        UINT variables;
        const wchar_t* help;
    } types[] = {
        {com::DIID_DKAPTORAX, TKIND_DISPATCH, TYPEFLAG_FHIDDEN | TYPEFLAG_FDISPATCHABLE, 0, 4, 2,
         L"Dispatch interface for KAPTORAX Control"},
        {com::DIID_DKAPTORAXEvents, TKIND_DISPATCH, TYPEFLAG_FDISPATCHABLE, TYPEFLAG_FHIDDEN, 0, 0,
         L"Event interface for KAPTORAX Control"},
        {com::CLSID_KAPTORAX, TKIND_COCLASS, TYPEFLAG_FCANCREATE | TYPEFLAG_FCONTROL, 0, 0, 0,
         L"KAPTORAX Control"},
    };
    for (const TypeCase& c : types) {
        ComPtr<ITypeInfo> info;
        ASSERT_EQ(library->GetTypeInfoOfGuid(c.guid, info.GetAddressOf()), S_OK);
        TYPEATTR* type = nullptr;
        ASSERT_EQ(info->GetTypeAttr(&type), S_OK);
        EXPECT_EQ(type->typekind, c.kind);
        EXPECT_EQ(type->wTypeFlags & c.flags, c.flags);
        EXPECT_EQ(type->wTypeFlags & c.absent, 0);
        if (c.kind == TKIND_DISPATCH) {
            // The members of IDispatch itself are not counted among a dispinterface's own.
            EXPECT_EQ(type->cFuncs, c.functions);
            EXPECT_EQ(type->cVars, c.variables);
        }
        info->ReleaseTypeAttr(type);
        BSTR help = nullptr;
        info->GetDocumentation(MEMBERID_NIL, nullptr, &help, nullptr, nullptr);
        EXPECT_EQ(std::wstring(help != nullptr ? help : L""), c.help);
        ::SysFreeString(help);
    }

    // Its members' names and ids: ComControl.NamesAndTypeInformationComeFromTheTypeLibrary.
    // The coclass: the dispatch interface as default, the events as default source.
    ComPtr<ITypeInfo> coclass;
    ASSERT_EQ(library->GetTypeInfoOfGuid(com::CLSID_KAPTORAX, coclass.GetAddressOf()), S_OK);
    INT first = 0;
    INT second = 0;
    ASSERT_EQ(coclass->GetImplTypeFlags(0, &first), S_OK);
    ASSERT_EQ(coclass->GetImplTypeFlags(1, &second), S_OK);
    EXPECT_EQ(first, IMPLTYPEFLAG_FDEFAULT);
    EXPECT_EQ(second, IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE);
}

}  // namespace
}  // namespace kaptor::test
