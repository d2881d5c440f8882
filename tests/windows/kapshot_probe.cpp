// The probe library: a WH_CALLWNDPROC hook that runs on KAPSHOT's window thread. When
// READ_ROW_MESSAGE is sent to a window, it reads that row of the window and hands the colours
// over as the window's properties before the sender goes on.
#include "tests/windows/kapshot_probe.h"

#include <cstdint>

namespace probe = kaptor::test::probe;

extern "C" __declspec(dllexport) LRESULT CALLBACK
    kapshotProbeHook(int code, WPARAM fromThisThread, LPARAM parameter) {
    static const UINT readRowMessage = ::RegisterWindowMessageW(probe::READ_ROW_MESSAGE);
    const auto* call = reinterpret_cast<const CWPSTRUCT*>(parameter);
    if (code == HC_ACTION && call->message == readRowMessage) {
        // Painted afresh first: Wine's null driver may have dropped the window's pixels while
        // another window was in front.
        ::RedrawWindow(call->hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        const HDC dc = ::GetDC(call->hwnd);
        for (int x = 0; x < static_cast<int>(call->lParam); ++x) {
            const COLORREF colour = ::GetPixel(dc, x, static_cast<int>(call->wParam));
            ::SetPropW(call->hwnd, probe::pixelProperty(x),
                       reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(colour)));
        }
        ::ReleaseDC(call->hwnd, dc);
    }
    return ::CallNextHookEx(nullptr, code, fromThisThread, parameter);
}
