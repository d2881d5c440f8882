// The probe library: a WH_GETMESSAGE hook that runs on KAPSHOT's window thread. On
// READ_ROW_MESSAGE it reads that row of the window the message was posted to and hands the
// colours over as the window's properties.
#include "tests/windows/kapshot_probe.h"

#include <cstdint>

namespace probe = kaptor::test::probe;

extern "C" __declspec(dllexport) LRESULT CALLBACK
    kapshotProbeHook(int code, WPARAM removed, LPARAM parameter) {
    static const UINT readRowMessage = ::RegisterWindowMessageW(probe::READ_ROW_MESSAGE);
    auto* message = reinterpret_cast<MSG*>(parameter);
    if (code == HC_ACTION && removed == PM_REMOVE && message->message == readRowMessage) {
        // Painted afresh first: Wine's null driver may have dropped the window's pixels while
        // another window was in front.
        ::RedrawWindow(message->hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        const HDC dc = ::GetDC(message->hwnd);
        for (int x = 0; x < LOWORD(message->lParam); ++x) {
            const COLORREF colour = ::GetPixel(dc, x, static_cast<int>(message->wParam));
            ::SetPropW(message->hwnd, probe::pixelProperty(x),
                       reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(colour)));
        }
        ::ReleaseDC(message->hwnd, dc);
        ::SetPropW(message->hwnd, probe::answeredProperty(),
                   reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(HIWORD(message->lParam))));
        message->message = WM_NULL;  // the program itself never sees it
    }
    return ::CallNextHookEx(nullptr, code, removed, parameter);
}
