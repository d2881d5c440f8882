// The control created by class id and driven by dispatch id alone, as the test program drives
// it: defaults, the dispatch errors, a capture from the simulated board (Ftd2xx.dll) against the
// picture the portable control writes from the same stream, and its message boxes.
#include "tests/support/rig.h"
#include "tests/windows/com_support.h"

#include <cstdlib>

namespace kaptor::test {
namespace {

constexpr DISPID DIRCONFIG = 1;
constexpr DISPID DESTINOIMAGEN = 2;
constexpr DISPID TOMA = 3;
constexpr DISPID INICIALIZA = 4;

class ComControl : public ComTest {
  protected:
    void SetUp() override {
        ::_putenv_s("KAPTOR_DRIVE_C", drive.path().string().c_str());
        // "\KAPTOR\" lies on the current drive; the test's folder is on Wine's drive Z:.
        ::_putenv_s("KAPTOR_CURRENT_DRIVE", "C");
        ComTest::SetUp();
    }

    TempDir drive;
};

// A new control answers its defaults and keeps what is put. Each call comes back as its code:
// callers that break the calling rules get an error code, never a crash; the result is made
// empty without freeing what it held.
TEST_F(ComControl, NewControlAnswersItsDefaultsAndEachCallWithItsCode) {
    EXPECT_EQ(getText(*control.Get(), DIRCONFIG), L"\\KAPTOR\\");
    EXPECT_EQ(getText(*control.Get(), DESTINOIMAGEN), L"\\AAAA\\");
    // Windows-1252 text survives the trip through BSTR. Text the control cannot hold exactly
    // (outside Windows-1252, a NUL inside) is refused and the value stays.
    const std::wstring kept = L"c:\\KAPTOR\\Posici\u00f3n.BMP";
    ASSERT_EQ(putText(*control.Get(), DESTINOIMAGEN, kept), S_OK);
    for (const std::wstring& refused :
         {std::wstring(L"\u4E2D\u6587.BMP"), std::wstring(L"victim.ini\0.bmp", 15)}) {
        EXPECT_EQ(putText(*control.Get(), DESTINOIMAGEN, refused), E_INVALIDARG);
    }
    EXPECT_EQ(getText(*control.Get(), DESTINOIMAGEN), kept);
    // Zeroed variants are empty ones (as VariantInit leaves them).
    VARIANT number{};
    V_VT(&number) = VT_I4;
    V_I4(&number) = 7;
    VARIANT object{};
    V_VT(&object) = VT_UNKNOWN;
    V_UNKNOWN(&object) = control.Get();  // has no text form
    VARIANT reference{};
    V_VT(&reference) = VT_BYREF | VT_BSTR;  // to no text at all
    VARIANT badType{};
    V_VT(&badType) = 0xFFFF;
    VARIANT empty{};
    V_VT(&empty) = VT_BSTR;  // an empty text: a null BSTR
    DISPID named = DISPID_PROPERTYPUT;
    constexpr WORD GET = DISPATCH_PROPERTYGET;
    constexpr WORD PUT = DISPATCH_PROPERTYPUT;
    const struct {
        const char* what;
        DISPID id;
        WORD flags;
        DISPPARAMS params;
        HRESULT expected;
    } cases[] = {
        {"unknown id", 99, DISPATCH_METHOD, {}, DISP_E_MEMBERNOTFOUND},
        {"method with an argument",
         TOMA,
         DISPATCH_METHOD,
         {&number, nullptr, 1, 0},
         DISP_E_BADPARAMCOUNT},
        {"get with an argument", DIRCONFIG, GET, {&number, nullptr, 1, 0}, DISP_E_BADPARAMCOUNT},
        {"put to a method", TOMA, PUT, {&number, &named, 1, 1}, DISP_E_MEMBERNOTFOUND},
        {"put without a value", DIRCONFIG, PUT, {}, DISP_E_BADPARAMCOUNT},
        {"put of an object", DIRCONFIG, PUT, {&object, &named, 1, 1}, DISP_E_TYPEMISMATCH},
        {"arguments without their array", DIRCONFIG, GET, {nullptr, nullptr, 1, 0}, E_INVALIDARG},
        {"names without their array", DIRCONFIG, PUT, {&empty, nullptr, 1, 1}, E_INVALIDARG},
        {"more names than arguments", DIRCONFIG, PUT, {&empty, &named, 0, 1}, E_INVALIDARG},
        {"a null reference", DIRCONFIG, PUT, {&reference, &named, 1, 1}, E_POINTER},
        {"no such type", DIRCONFIG, PUT, {&badType, &named, 1, 1}, DISP_E_BADVARTYPE},
        {"put of an empty text", DIRCONFIG, PUT, {&empty, &named, 1, 1}, S_OK},
        {"get into a junk result", DIRCONFIG, GET, {}, S_OK},
        {"put of a number", DIRCONFIG, PUT, {&number, &named, 1, 1}, S_OK},
    };
    for (auto c : cases) {
        VARIANT result;
        V_VT(&result) = VT_BSTR;
        V_BSTR(&result) = reinterpret_cast<BSTR>(0x10);  // junk that must not be freed
        EXPECT_EQ(control->Invoke(c.id, IID_NULL, 0, c.flags, &c.params, &result, nullptr, nullptr),
                  c.expected)
            << c.what;
        EXPECT_EQ(V_VT(&result), c.expected == S_OK && c.flags == GET ? VT_BSTR : VT_EMPTY)
            << c.what;
        ::VariantClear(&result);
    }
    EXPECT_EQ(getText(*control.Get(), DIRCONFIG), L"7");
}

TEST_F(ComControl, NamesAndTypeInformationComeFromTheTypeLibrary) {
    std::vector<DISPID> ids;
    for (const wchar_t* name :
         {L"dirconfig", L"DESTINOIMAGEN", L"Toma", L"Inicializa", L"Set", L"AboutBox"}) {
        LPOLESTR asked[] = {const_cast<LPOLESTR>(name)};
        EXPECT_EQ(control->GetIDsOfNames(IID_NULL, asked, 1, 0x409, &ids.emplace_back()), S_OK);
    }
    EXPECT_EQ(ids, (std::vector<DISPID>{1, 2, 3, 4, 5, DISPID_ABOUTBOX}));
    LPOLESTR unknown[] = {const_cast<LPOLESTR>(L"Captura")};
    DISPID id = 0;
    EXPECT_EQ(control->GetIDsOfNames(IID_NULL, unknown, 1, 0x409, &id), DISP_E_UNKNOWNNAME);
    LPOLESTR none[] = {nullptr};
    EXPECT_EQ(control->GetIDsOfNames(IID_NULL, nullptr, 1, 0x409, &id), E_INVALIDARG);
    EXPECT_EQ(control->GetIDsOfNames(IID_NULL, none, 1, 0x409, &id), E_INVALIDARG);
    EXPECT_EQ(control->GetIDsOfNames(IID_NULL, unknown, 1, 0x409, nullptr), E_POINTER);

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
    EXPECT_EQ(std::vector(list.pElems, list.pElems + list.cElems),
              std::vector{com::CLSID_KAPTORAXPropPage});
    ::CoTaskMemFree(list.pElems);
    ComPtr<IConnectionPointContainer> points;
    ASSERT_EQ(control.As(&points), S_OK);
    ComPtr<IConnectionPoint> point;
    EXPECT_EQ(points->FindConnectionPoint(com::DIID_DKAPTORAXEvents, point.GetAddressOf()), S_OK);
    EXPECT_EQ(points->FindConnectionPoint(IID_IPropertyNotifySink, point.GetAddressOf()),
              CONNECT_E_NOCONNECTION);
}

// Toma writes the picture the portable control writes from the same stream. A Toma that cannot
// write its picture tells its caller why through GetErrorInfo: the control's text widened from
// Windows-1252. No message box either time.
TEST_F(ComControl, TomaWritesThePortablePictureOrTellsItsCallerWhy) {
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
    ::_putenv_s("KAPTOR_SIM_REPLAY", replay.string().c_str());
    ASSERT_EQ(putText(*control.Get(), DIRCONFIG, L"c:\\KAPTOR\\"), S_OK);
    ASSERT_EQ(putText(*control.Get(), DESTINOIMAGEN, L"c:\\KAPTOR\\Imagen1.BMP"), S_OK);
    const std::wstring name = L"C\u00e1mara.BMP";
    // The previous picture, held open without delete sharing: the new one cannot replace it.
    HANDLE held = ::CreateFileW((drive.path() / "KAPTOR" / name).c_str(), GENERIC_WRITE,
                                FILE_SHARE_READ, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    const std::vector<SeenBox> boxes = answeringBoxes([&] {
        EXPECT_EQ(callMethod(*control.Get(), INICIALIZA), S_OK);
        EXPECT_EQ(callMethod(*control.Get(), TOMA), S_OK);
        EXPECT_EQ(getText(*control.Get(), DESTINOIMAGEN), L"c:\\KAPTOR\\Imagen1.BMP");
        EXPECT_EQ(putText(*control.Get(), DESTINOIMAGEN, L"c:\\KAPTOR\\" + name), S_OK);
        EXPECT_EQ(callMethod(*control.Get(), TOMA), DISP_E_EXCEPTION);
    });
    ::CloseHandle(held);
    EXPECT_TRUE(boxes.empty()) << boxes.front().text;
    EXPECT_EQ(readBytes(drive.path() / "KAPTOR" / "Imagen1.BMP"), wanted);
    // The held file as it was, and no temporary left beside CONFIG.TXT, CONFIG and the pictures.
    EXPECT_EQ(readFile(drive.path() / "KAPTOR" / name), "");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(drive.path() / "KAPTOR"), {}), 4);
    // Its EXCEPINFO (source, words, a system error's code) as scripts read it: com_script_handled.
    ComPtr<ISupportErrorInfo> supports;
    ASSERT_EQ(control.As(&supports), S_OK);
    EXPECT_EQ(supports->InterfaceSupportsErrorInfo(IID_IDispatch), S_OK);
    ComPtr<IErrorInfo> info;
    ASSERT_EQ(::GetErrorInfo(0, info.GetAddressOf()), S_OK);
    BSTR text = nullptr;
    ASSERT_EQ(info->GetDescription(&text), S_OK);
    const std::wstring description = text;
    ::SysFreeString(text);
    EXPECT_TRUE(description.starts_with(L"Error al escribir archivo de imagen: c:\\KAPTOR\\" +
                                        name + L" ("))
        << description.c_str();
}

// Without selector or configuration Inicializa reports both in boxes captioned with the
// control's name, and goes on. The caller lets go of its last reference while the first box
// waits for the operator: the object stays until the call is over, and goes then.
TEST_F(ComControl, ReleasingTheLastReferenceDuringAMessageBoxWaitsForTheCall) {
    IDispatch* raw = control.Detach();
    const std::vector<SeenBox> boxes = answeringBoxes(
        [raw] { EXPECT_EQ(callMethod(*raw, INICIALIZA), S_OK); }, [raw] { raw->Release(); });
    ASSERT_FALSE(boxes.empty());
    EXPECT_EQ(boxes.front().caption, "KAPTORAX");
    EXPECT_EQ(boxes.front().text, "Error al abrir archivo de configuracion!!! (E: 410)");
    EXPECT_EQ(callModuleExport(modulePath(), "DllCanUnloadNow"), S_OK);
}

// DllCanUnloadNow is asked of the module already loaded: the load and free around the call only
// count. Server locks hold the module too. One unlock too many does not hold it for good, nor make
// a later lock count less.
TEST_F(ComControl, ModuleStaysLoadedWhileObjectsOrLocksLive) {
    EXPECT_EQ(callModuleExport(modulePath(), "DllCanUnloadNow"), S_FALSE);
    control.Reset();
    EXPECT_EQ(callModuleExport(modulePath(), "DllCanUnloadNow"), S_OK);
    const struct {
        BOOL lock;
        int times;
        HRESULT canUnload;
    } steps[] = {{TRUE, 1, S_FALSE}, {FALSE, 3, S_OK}, {TRUE, 1, S_FALSE}, {FALSE, 1, S_OK}};
    for (const auto& step : steps) {
        ComPtr<IClassFactory> factory;
        ASSERT_EQ(
            ::CoGetClassObject(com::CLSID_KAPTORAX, CLSCTX_INPROC_SERVER, nullptr,
                               IID_IClassFactory, reinterpret_cast<void**>(factory.GetAddressOf())),
            S_OK);
        for (int i = 0; i < step.times; ++i) {
            ASSERT_EQ(factory->LockServer(step.lock), S_OK);
        }
        factory.Reset();
        EXPECT_EQ(callModuleExport(modulePath(), "DllCanUnloadNow"), step.canUnload);
    }
}

}  // namespace
}  // namespace kaptor::test
