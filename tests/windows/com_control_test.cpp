// The control created by class id and driven by dispatch id alone, as the test program drives
// it: defaults, the dispatch errors, a capture from the simulated board (Ftd2xx.dll) against the
// picture the portable control writes from the same stream, and its message boxes.
#include "tests/support/rig.h"
#include "tests/windows/com_support.h"

#include <gtest/gtest.h>

#include "control/com/identifiers.h"

namespace kaptor::test {
namespace {

constexpr DISPID DIRCONFIG = 1;
constexpr DISPID DESTINOIMAGEN = 2;
constexpr DISPID TOMA = 3;
constexpr DISPID INICIALIZA = 4;

class ComControl : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(callModuleExport(modulePath(), "DllRegisterServer"), S_OK);
        setEnvironment("KAPTOR_DRIVE_C", drive.path().string());
        // "\KAPTOR\" lies on the current drive; the test's folder is on Wine's drive Z:.
        setEnvironment("KAPTOR_CURRENT_DRIVE", "C");
        control = createControl();
        ASSERT_TRUE(control);
    }

    Apartment apartment;
    TempDir drive;
    ComPtr<IDispatch> control;
};

TEST_F(ComControl, NewControlAnswersItsDefaultsAndKeepsWhatIsPut) {
    std::wstring text;
    ASSERT_EQ(getText(*control.Get(), DIRCONFIG, text), S_OK);
    EXPECT_EQ(text, L"\\KAPTOR\\");
    ASSERT_EQ(getText(*control.Get(), DESTINOIMAGEN, text), S_OK);
    EXPECT_EQ(text, L"\\AAAA\\");
    // Windows-1252 text survives the trip through BSTR.
    ASSERT_EQ(putText(*control.Get(), DESTINOIMAGEN, L"c:\\KAPTOR\\Posici\u00f3n.BMP"), S_OK);
    ASSERT_EQ(getText(*control.Get(), DESTINOIMAGEN, text), S_OK);
    EXPECT_EQ(text, L"c:\\KAPTOR\\Posici\u00f3n.BMP");
    ASSERT_EQ(putText(*control.Get(), DIRCONFIG, L""), S_OK);
    ASSERT_EQ(getText(*control.Get(), DIRCONFIG, text), S_OK);
    EXPECT_EQ(text, L"");
}

TEST_F(ComControl, DispatchErrorsComeBackAsTheirCodes) {
    VARIANT number;
    ::VariantInit(&number);
    V_VT(&number) = VT_I4;
    V_I4(&number) = 7;
    VARIANT object;
    ::VariantInit(&object);
    V_VT(&object) = VT_UNKNOWN;
    V_UNKNOWN(&object) = control.Get();  // has no text form
    DISPID named = DISPID_PROPERTYPUT;
    struct Case {
        const char* what;
        DISPID id;
        WORD flags;
        VARIANT* argument;
        bool namedPut;
        HRESULT expected;
    } cases[] = {
        {"unknown id", 99, DISPATCH_METHOD, nullptr, false, DISP_E_MEMBERNOTFOUND},
        {"method with an argument", TOMA, DISPATCH_METHOD, &number, false, DISP_E_BADPARAMCOUNT},
        {"get with an argument", DIRCONFIG, DISPATCH_PROPERTYGET, &number, false,
         DISP_E_BADPARAMCOUNT},
        {"put to a method", TOMA, DISPATCH_PROPERTYPUT, &number, true, DISP_E_MEMBERNOTFOUND},
        {"put without a value", DIRCONFIG, DISPATCH_PROPERTYPUT, nullptr, false,
         DISP_E_BADPARAMCOUNT},
        {"put of an object", DIRCONFIG, DISPATCH_PROPERTYPUT, &object, true, DISP_E_TYPEMISMATCH},
        {"put of a number", DIRCONFIG, DISPATCH_PROPERTYPUT, &number, true, S_OK},
    };
    for (const Case& c : cases) {
        DISPPARAMS params{c.argument, c.namedPut ? &named : nullptr, c.argument ? 1u : 0u,
                          c.namedPut ? 1u : 0u};
        VARIANT result;
        ::VariantInit(&result);
        UINT argumentError = 99;
        EXPECT_EQ(
            control->Invoke(c.id, IID_NULL, 0, c.flags, &params, &result, nullptr, &argumentError),
            c.expected)
            << c.what;
        ::VariantClear(&result);
    }
    std::wstring text;
    ASSERT_EQ(getText(*control.Get(), DIRCONFIG, text), S_OK);
    EXPECT_EQ(text, L"7");
}

TEST_F(ComControl, NamesAndTypeInformationComeFromTheTypeLibrary) {
    const std::pair<const wchar_t*, DISPID> names[] = {{L"dirconfig", 1}, {L"DESTINOIMAGEN", 2},
                                                       {L"Toma", 3},      {L"Inicializa", 4},
                                                       {L"Set", 5},       {L"AboutBox", -552}};
    for (const auto& [name, expected] : names) {
        LPOLESTR asked[] = {const_cast<LPOLESTR>(name)};
        DISPID id = 0;
        ASSERT_EQ(control->GetIDsOfNames(IID_NULL, asked, 1, 0x409, &id), S_OK);
        EXPECT_EQ(id, expected);
    }
    LPOLESTR unknown[] = {const_cast<LPOLESTR>(L"Captura")};
    DISPID id = 0;
    EXPECT_EQ(control->GetIDsOfNames(IID_NULL, unknown, 1, 0x409, &id), DISP_E_UNKNOWNNAME);

    UINT count = 0;
    ASSERT_EQ(control->GetTypeInfoCount(&count), S_OK);
    EXPECT_EQ(count, 1u);
    ComPtr<ITypeInfo> info;
    ASSERT_EQ(control->GetTypeInfo(0, 0x409, info.GetAddressOf()), S_OK);
    TYPEATTR* type = nullptr;
    ASSERT_EQ(info->GetTypeAttr(&type), S_OK);
    EXPECT_TRUE(IsEqualGUID(type->guid, com::DIID_DKAPTORAX));
    info->ReleaseTypeAttr(type);

    ComPtr<IProvideClassInfo2> classInfo;
    ASSERT_EQ(control.As(&classInfo), S_OK);
    GUID events{};
    ASSERT_EQ(classInfo->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &events), S_OK);
    EXPECT_TRUE(IsEqualGUID(events, com::DIID_DKAPTORAXEvents));
    ComPtr<ISpecifyPropertyPages> pages;
    ASSERT_EQ(control.As(&pages), S_OK);
    CAUUID list{};
    ASSERT_EQ(pages->GetPages(&list), S_OK);
    ASSERT_EQ(list.cElems, 1u);
    EXPECT_TRUE(IsEqualGUID(list.pElems[0], com::CLSID_KAPTORAXPropPage));
    ::CoTaskMemFree(list.pElems);
    ComPtr<IConnectionPointContainer> points;
    ASSERT_EQ(control.As(&points), S_OK);
    ComPtr<IConnectionPoint> point;
    EXPECT_EQ(points->FindConnectionPoint(com::DIID_DKAPTORAXEvents, point.GetAddressOf()), S_OK);
    EXPECT_EQ(points->FindConnectionPoint(IID_IPropertyNotifySink, point.GetAddressOf()),
              CONNECT_E_NOCONNECTION);
}

// A frame of 640 x 496 bytes that tells every pixel's position apart.
std::vector<std::uint8_t> replayFrame() {
    std::vector<std::uint8_t> bytes(640 * 496);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<std::uint8_t>(i * 7 + i / 640 * 3);
    }
    return bytes;
}

// Disabled until the configuration read through the Windows drive mapping is understood: the
// module reports the selector as missing and captures a 0 x 0 frame.
TEST_F(ComControl, CaptureByDispidWritesThePictureThePortableControlWrites) {
    const std::vector<std::uint8_t> frame = replayFrame();
    Rig expected(RigOptions{.replay = frame});
    expected.initialise(EXAMPLE_CONFIG);
    expected.ctrl->Toma();
    const std::vector<std::uint8_t> wanted = expected.picture();
    ASSERT_GT(wanted.size(), frame.size());

    writeFile(drive.path() / "KAPTOR" / "CONFIG.TXT", "EJEMPLO.TXT\r\n");
    writeFile(drive.path() / "KAPTOR" / "CONFIG" / "EJEMPLO.TXT", EXAMPLE_CONFIG);
    const auto replay = drive.path() / "replay.bin";
    writeFile(replay, std::string(frame.begin(), frame.end()));
    setEnvironment("KAPTOR_SIM_REPLAY", replay.string());

    MessageBoxWatcher watcher;
    ASSERT_EQ(putText(*control.Get(), DIRCONFIG, L"c:\\KAPTOR\\"), S_OK);
    ASSERT_EQ(putText(*control.Get(), DESTINOIMAGEN, L"c:\\KAPTOR\\Imagen1.BMP"), S_OK);
    ASSERT_EQ(callMethod(*control.Get(), INICIALIZA), S_OK);
    ASSERT_EQ(callMethod(*control.Get(), TOMA), S_OK);
    std::wstring destination;
    ASSERT_EQ(getText(*control.Get(), DESTINOIMAGEN, destination), S_OK);
    EXPECT_EQ(destination, L"c:\\KAPTOR\\Imagen1.BMP");
    EXPECT_TRUE(watcher.seen().empty()) << watcher.seen().front().text;
    EXPECT_EQ(readBytes(drive.path() / "KAPTOR" / "Imagen1.BMP"), wanted);
}

TEST_F(ComControl, MessageBoxesCarryTheControlsNameAndWaitForTheOperator) {
    // No selector and no configuration: both are reported, and Inicializa goes on.
    MessageBoxWatcher watcher;
    ASSERT_EQ(callMethod(*control.Get(), INICIALIZA), S_OK);
    const std::vector<SeenBox> seen = watcher.seen();
    ASSERT_GE(seen.size(), 1u);
    EXPECT_EQ(seen[0].caption, "KAPTORAX");
    EXPECT_EQ(seen[0].text, "Error al abrir archivo de configuracion!!! (E: 410)");
}

TEST_F(ComControl, ModuleStaysLoadedWhileObjectsLive) {
    HMODULE module = ::GetModuleHandleW(L"KAPTORAX.ocx");
    ASSERT_NE(module, nullptr);
    using Export = HRESULT(STDAPICALLTYPE*)();
    const auto canUnload = reinterpret_cast<Export>(
        reinterpret_cast<void (*)()>(::GetProcAddress(module, "DllCanUnloadNow")));
    ASSERT_NE(canUnload, nullptr);
    EXPECT_EQ(canUnload(), S_FALSE);
    control.Reset();
    EXPECT_EQ(canUnload(), S_OK);
    ComPtr<IClassFactory> factory;
    ASSERT_EQ(
        ::CoGetClassObject(com::CLSID_KAPTORAX, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                           reinterpret_cast<void**>(factory.GetAddressOf())),
        S_OK);
    ASSERT_EQ(factory->LockServer(TRUE), S_OK);
    factory.Reset();
    EXPECT_EQ(canUnload(), S_FALSE);
    ASSERT_EQ(
        ::CoGetClassObject(com::CLSID_KAPTORAX, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                           reinterpret_cast<void**>(factory.GetAddressOf())),
        S_OK);
    ASSERT_EQ(factory->LockServer(FALSE), S_OK);
    factory.Reset();
    EXPECT_EQ(canUnload(), S_OK);
}

}  // namespace
}  // namespace kaptor::test
