// The control hosted by its ProgID in the system's ATL container window, as any container
// would host it, and read back pixel by pixel; and its picture through IViewObject::Draw.
#include "tests/windows/com_support.h"

#include <gtest/gtest.h>

namespace kaptor::test {
namespace {

bool isWhite(COLORREF colour) {
    return colour == RGB(255, 255, 255);
}

bool isDark(COLORREF colour) {
    return GetRValue(colour) < 128 && GetGValue(colour) < 128 && GetBValue(colour) < 128;
}

// White with dark text in the top left corner (the name's first letters), white elsewhere.
void expectControlPicture(HDC dc, int width, int height) {
    int dark = 0;
    int darkOutsideText = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const COLORREF colour = ::GetPixel(dc, x, y);
            // Smoothed text has grey edges: anything not white belongs to the text.
            dark += isDark(colour) ? 1 : 0;
            darkOutsideText += !isWhite(colour) && (x > 120 || y > 24) ? 1 : 0;
        }
    }
    EXPECT_GT(dark, 20);
    EXPECT_EQ(darkOutsideText, 0);
    EXPECT_TRUE(isWhite(::GetPixel(dc, width - 1, height - 1)));
}

TEST(ComHosting, AtlContainerHostsAndShowsTheControl) {
    Apartment apartment;
    ASSERT_EQ(callModuleExport(modulePath(), "DllRegisterServer"), S_OK);
    HMODULE atl = ::LoadLibraryW(L"atl.dll");
    ASSERT_NE(atl, nullptr);
    using Init = BOOL(WINAPI*)();
    using GetControl = HRESULT(WINAPI*)(HWND, IUnknown**);
    const auto init =
        reinterpret_cast<Init>(reinterpret_cast<void (*)()>(::GetProcAddress(atl, "AtlAxWinInit")));
    const auto getControl = reinterpret_cast<GetControl>(
        reinterpret_cast<void (*)()>(::GetProcAddress(atl, "AtlAxGetControl")));
    ASSERT_TRUE(init != nullptr && getControl != nullptr && init());

    // A grey window with the control in a 200 x 60 area at 20, 20.
    HWND frame = ::CreateWindowExW(0, L"STATIC", L"Host", WS_POPUP | WS_VISIBLE, 0, 0, 260, 120,
                                   nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(frame, nullptr);
    HWND host = ::CreateWindowExW(0, L"AtlAxWin", L"KAPTORAX.KAPTORAXCtrl.1", WS_CHILD | WS_VISIBLE,
                                  20, 20, 200, 60, frame, nullptr, nullptr, nullptr);
    ASSERT_NE(host, nullptr);
    ComPtr<IUnknown> hosted;
    ASSERT_EQ(getControl(host, hosted.GetAddressOf()), S_OK);
    ComPtr<IOleInPlaceObject> inPlace;
    ASSERT_EQ(hosted.As(&inPlace), S_OK);
    HWND window = nullptr;
    ASSERT_EQ(inPlace->GetWindow(&window), S_OK);
    ASSERT_NE(window, nullptr);
    ::UpdateWindow(frame);
    ::UpdateWindow(window);
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        ::DispatchMessageW(&message);
    }
    RECT client;
    ::GetClientRect(window, &client);
    EXPECT_EQ(client.right, 200);
    EXPECT_EQ(client.bottom, 60);
    saveScreenshot(frame, "hosted_control");

    HDC dc = ::GetDC(window);
    expectControlPicture(dc, client.right, client.bottom);
    ::ReleaseDC(window, dc);

    // Nothing drawn outside the bounds: the host's area around the control is untouched.
    HDC frameDc = ::GetDC(frame);
    for (const POINT p : {POINT{10, 10}, POINT{230, 50}, POINT{120, 95}, POINT{5, 100}}) {
        EXPECT_NE(::GetPixel(frameDc, p.x, p.y), RGB(255, 255, 255)) << p.x << "," << p.y;
    }
    ::ReleaseDC(frame, frameDc);
    ::DestroyWindow(frame);
}

TEST(ComHosting, ViewObjectDrawsTheSamePictureClippedToItsBounds) {
    Apartment apartment;
    ASSERT_EQ(callModuleExport(modulePath(), "DllRegisterServer"), S_OK);
    ComPtr<IDispatch> control = createControl();
    ComPtr<IViewObject2> view;
    ASSERT_EQ(control.As(&view), S_OK);

    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, 200, 80);
    HGDIOBJ previous = ::SelectObject(memory, bitmap);
    RECT all{0, 0, 200, 80};
    HBRUSH grey = ::CreateSolidBrush(RGB(128, 128, 128));
    ::FillRect(memory, &all, grey);
    // Bounds narrower than the text: the name is cut at the right edge.
    RECTL bounds{10, 10, 50, 40};
    ASSERT_EQ(view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, memory, &bounds, nullptr,
                         nullptr, 0),
              S_OK);
    int dark = 0;
    for (int y = 0; y < 80; ++y) {
        for (int x = 0; x < 200; ++x) {
            const COLORREF colour = ::GetPixel(memory, x, y);
            if (x >= 10 && x < 50 && y >= 10 && y < 40) {
                dark += isDark(colour) ? 1 : 0;
            } else {
                ASSERT_EQ(colour, RGB(128, 128, 128)) << x << "," << y;
            }
        }
    }
    EXPECT_GT(dark, 10);
    EXPECT_TRUE(isWhite(::GetPixel(memory, 49, 39)));
    EXPECT_EQ(view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, memory, nullptr, nullptr,
                         nullptr, 0),
              E_INVALIDARG);
    ::SelectObject(memory, previous);
    ::DeleteObject(grey);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
}

// A container's site reduced to what in-place activation asks of it: a window to live in; it
// counts the deactivations it is told of. It lives on the test's stack.
class CountingSite final : public IOleClientSite, public IOleInPlaceSite {
  public:
    explicit CountingSite(HWND window) : window_(window) {}
    int deactivations = 0;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        *object = IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IOleClientSite)
                      ? static_cast<void*>(static_cast<IOleClientSite*>(this))
                  : IsEqualIID(iid, IID_IOleWindow) || IsEqualIID(iid, IID_IOleInPlaceSite)
                      ? static_cast<void*>(static_cast<IOleInPlaceSite*>(this))
                      : nullptr;
        return *object != nullptr ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE SaveObject() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker** moniker) override {
        *moniker = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** container) override {
        *container = nullptr;
        return E_NOINTERFACE;
    }
    HRESULT STDMETHODCALLTYPE ShowObject() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override {
        *window = window_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnUIActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** frame,
                                               IOleInPlaceUIWindow** document, LPRECT position,
                                               LPRECT clip, LPOLEINPLACEFRAMEINFO) override {
        *frame = nullptr;
        *document = nullptr;
        *position = RECT{0, 0, 100, 50};
        *clip = *position;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Scroll(SIZE) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override {
        ++deactivations;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DiscardUndoState() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT) override { return S_OK; }

  private:
    HWND window_;
};

// A container that lets go of the control while it is in place active is told of the
// deactivation, and the control's window goes with it.
TEST(ComHosting, ReleasedWhileInPlaceActiveTheControlTellsItsContainer) {
    Apartment apartment;
    ASSERT_EQ(callModuleExport(modulePath(), "DllRegisterServer"), S_OK);
    HWND frame = ::CreateWindowExW(0, L"STATIC", L"Host", WS_POPUP, 0, 0, 200, 100, nullptr,
                                   nullptr, nullptr, nullptr);
    ASSERT_NE(frame, nullptr);
    CountingSite site(frame);
    ComPtr<IOleObject> object;
    ASSERT_EQ(createControl().As(&object), S_OK);
    ASSERT_EQ(object->SetClientSite(&site), S_OK);
    RECT position{0, 0, 100, 50};
    ASSERT_EQ(object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, &site, 0, frame, &position), S_OK);
    ComPtr<IOleInPlaceObject> inPlace;
    ASSERT_EQ(object.As(&inPlace), S_OK);
    HWND window = nullptr;
    ASSERT_EQ(inPlace->GetWindow(&window), S_OK);
    inPlace.Reset();
    EXPECT_EQ(site.deactivations, 0);
    object.Reset();
    EXPECT_EQ(site.deactivations, 1);
    EXPECT_FALSE(::IsWindow(window));
    ::DestroyWindow(frame);
}

}  // namespace
}  // namespace kaptor::test
