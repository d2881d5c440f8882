// The control hosted by its ProgID in the system's ATL container window, as any container
// would host it, and read back pixel by pixel; and its picture through IViewObject::Draw.
#include "tests/windows/com_support.h"

// The system's ATL container (atl.dll), which mingw-w64 declares in no header.
extern "C" BOOL WINAPI AtlAxWinInit();
extern "C" HRESULT WINAPI AtlAxGetControl(HWND window, IUnknown** control);

namespace kaptor::test {
namespace {

using ComHosting = ComTest;

constexpr COLORREF WHITE = RGB(255, 255, 255);

// The pixels of dc in area: every one outside `inside` is `outside`; the result is how many
// inside are dark (below half in each of red, green and blue: smoothed text has grey edges), or -1
// at the first stray pixel.
int darkInside(HDC dc, const RECT& area, const RECT& inside, COLORREF outside) {
    int dark = 0;
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) {
            const COLORREF colour = ::GetPixel(dc, x, y);
            if (::PtInRect(&inside, POINT{x, y})) {
                dark +=
                    GetRValue(colour) < 128 && GetGValue(colour) < 128 && GetBValue(colour) < 128;
            } else if (colour != outside) {
                ADD_FAILURE() << "stray pixel at " << x << "," << y;
                return -1;
            }
        }
    }
    return dark;
}

// White with dark text in the top left corner (the name's first letters), white elsewhere; the
// host's area around it untouched.
TEST_F(ComHosting, AtlContainerHostsAndShowsTheControl) {
    ASSERT_TRUE(AtlAxWinInit());

    // A grey window with the control in a 200 x 60 area at 20, 20.
    HWND frame = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 260, 120,
                                   nullptr, nullptr, nullptr, nullptr);
    HWND host = ::CreateWindowExW(0, L"AtlAxWin", L"KAPTORAX.KAPTORAXCtrl.1", WS_CHILD | WS_VISIBLE,
                                  20, 20, 200, 60, frame, nullptr, nullptr, nullptr);
    ComPtr<IUnknown> hosted;
    ASSERT_EQ(AtlAxGetControl(host, hosted.GetAddressOf()), S_OK);
    ComPtr<IOleInPlaceObject> inPlace;
    ASSERT_EQ(hosted.As(&inPlace), S_OK);
    HWND window = nullptr;
    ASSERT_EQ(inPlace->GetWindow(&window), S_OK);
    ::RedrawWindow(frame, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    RECT client{};
    ::GetClientRect(window, &client);
    EXPECT_EQ(std::pair(client.right, client.bottom), std::pair(200L, 60L));
    saveScreenshot(frame, "hosted_control");

    HDC dc = ::GetDC(window);
    EXPECT_GT(darkInside(dc, client, RECT{0, 0, 121, 25}, WHITE), 20);
    ::ReleaseDC(window, dc);
    HDC frameDc = ::GetDC(frame);
    const COLORREF grey = ::GetPixel(frameDc, 0, 0);
    EXPECT_NE(grey, WHITE);
    EXPECT_GE(darkInside(frameDc, RECT{0, 0, 260, 120}, RECT{20, 20, 220, 80}, grey), 0);
    ::ReleaseDC(frame, frameDc);
    ::DestroyWindow(frame);
}

// Bounds narrower than the text: the name is cut at the right edge, nothing drawn outside.
TEST_F(ComHosting, ViewObjectDrawsTheSamePictureClippedToItsBounds) {
    ComPtr<IViewObject2> view;
    ASSERT_EQ(control.As(&view), S_OK);
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, 200, 80);
    HGDIOBJ previous = ::SelectObject(memory, bitmap);
    const RECT all{0, 0, 200, 80};
    ::SetDCBrushColor(memory, RGB(128, 128, 128));
    ::FillRect(memory, &all, static_cast<HBRUSH>(::GetStockObject(DC_BRUSH)));
    RECTL bounds{10, 10, 50, 40};
    ASSERT_EQ(view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, memory, &bounds, nullptr,
                         nullptr, 0),
              S_OK);
    EXPECT_GT(darkInside(memory, all, RECT{10, 10, 50, 40}, RGB(128, 128, 128)), 10);
    EXPECT_EQ(::GetPixel(memory, 49, 39), WHITE);
    EXPECT_EQ(view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, memory, nullptr, nullptr,
                         nullptr, 0),
              E_INVALIDARG);
    ::SelectObject(memory, previous);
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
    // What the control never asks of its site.
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer**) override { return E_NOTIMPL; }
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
        *clip = *position = RECT{0, 0, 100, 50};
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
TEST_F(ComHosting, ReleasedWhileInPlaceActiveTheControlTellsItsContainer) {
    HWND frame = ::CreateWindowExW(0, L"STATIC", L"Host", WS_POPUP, 0, 0, 200, 100, nullptr,
                                   nullptr, nullptr, nullptr);
    CountingSite site(frame);
    ComPtr<IOleObject> object;
    ASSERT_EQ(control.As(&object), S_OK);
    control.Reset();
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
