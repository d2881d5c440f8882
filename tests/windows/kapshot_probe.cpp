// The probe library: a WH_GETMESSAGE hook that runs on KAPSHOT's window thread. On
// READ_ROW_MESSAGE (wParam: the row, lParam: how many pixels) it reads that row of the window
// the message was posted to and hands the colours over through the shared block.
#include "tests/windows/kapshot_probe.h"

#include <algorithm>

namespace {

using kaptor::test::probe::Row;

void readRow(HWND window, int row, int count) {
    const HANDLE block =
        ::OpenFileMappingW(FILE_MAP_WRITE, FALSE, kaptor::test::probe::SHARED_BLOCK);
    const HANDLE done = ::OpenEventW(EVENT_MODIFY_STATE, FALSE, kaptor::test::probe::DONE_EVENT);
    if (block != nullptr && done != nullptr) {
        if (auto* shared =
                static_cast<Row*>(::MapViewOfFile(block, FILE_MAP_WRITE, 0, 0, sizeof(Row)))) {
            shared->count = std::clamp(count, 0, kaptor::test::probe::MAX_ROW_PIXELS);
            // Painted afresh first: Wine's null driver may have dropped the window's pixels while
            // another window was in front.
            ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
            const HDC dc = ::GetDC(window);
            for (int x = 0; x < shared->count; ++x) {
                shared->colours[x] = ::GetPixel(dc, x, row);
            }
            ::ReleaseDC(window, dc);
            ::UnmapViewOfFile(shared);
        }
        ::SetEvent(done);
    }
    if (done != nullptr) {
        ::CloseHandle(done);
    }
    if (block != nullptr) {
        ::CloseHandle(block);
    }
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK
    kapshotProbeHook(int code, WPARAM removed, LPARAM parameter) {
    static const UINT readRowMessage =
        ::RegisterWindowMessageW(kaptor::test::probe::READ_ROW_MESSAGE);
    auto* message = reinterpret_cast<MSG*>(parameter);
    if (code == HC_ACTION && removed == PM_REMOVE && message->message == readRowMessage) {
        readRow(message->hwnd, static_cast<int>(message->wParam),
                static_cast<int>(message->lParam));
        message->message = WM_NULL;  // the program itself never sees it
    }
    return ::CallNextHookEx(nullptr, code, removed, parameter);
}
