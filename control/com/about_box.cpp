#include "control/com/about_box.h"

#include "control/res/resource.h"

namespace kaptor::com {
namespace {

INT_PTR CALLBACK aboutBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            return TRUE;
        case WM_COMMAND:
            // OK, and Escape, which arrives as IDCANCEL.
            if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
                ::EndDialog(window, LOWORD(wParam));
                return TRUE;
            }
            return FALSE;
        default:
            return FALSE;
    }
}

}  // namespace

void showAboutBox(HINSTANCE module) {
    ::DialogBoxParamW(module, MAKEINTRESOURCEW(IDD_ABOUTBOX_KAPTORAX), nullptr, aboutBoxProc, 0);
}

}  // namespace kaptor::com
