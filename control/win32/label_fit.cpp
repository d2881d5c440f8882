#include "control/win32/label_fit.h"

#include <algorithm>
#include <string>
#include <vector>

namespace kaptor::win32 {
namespace {

// The gap kept between a widened label and the control to its right, in pixels.
constexpr LONG GAP = 4;

struct Child {
    HWND window;
    RECT place;  // in the dialog's client coordinates
};

BOOL CALLBACK collectChild(HWND window, LPARAM lParam) {
    auto& children = *reinterpret_cast<std::vector<Child>*>(lParam);
    RECT place;
    ::GetWindowRect(window, &place);
    ::MapWindowPoints(nullptr, ::GetParent(window), reinterpret_cast<POINT*>(&place), 2);
    children.push_back({window, place});
    return TRUE;
}

bool isTextLabel(HWND window) {
    wchar_t windowClass[16] = L"";
    ::GetClassNameW(window, windowClass, 16);
    const LONG_PTR style = ::GetWindowLongPtrW(window, GWL_STYLE);
    return std::wstring(windowClass) == L"Static" && (style & SS_TYPEMASK) == SS_LEFT &&
           ::GetWindowTextLengthW(window) > 0;
}

LONG textWidth(HDC dc, HWND label) {
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(label)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        ::GetWindowTextW(label, text.data(), static_cast<int>(text.size()))));
    SIZE size{};
    ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size.cx;
}

}  // namespace

void widenLabelsToTheirText(HWND dialog) {
    std::vector<Child> children;
    ::EnumChildWindows(dialog, collectChild, reinterpret_cast<LPARAM>(&children));
    RECT client;
    ::GetClientRect(dialog, &client);
    const HDC dc = ::GetDC(dialog);
    const HGDIOBJ previous =
        ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageW(dialog, WM_GETFONT, 0, 0)));
    for (const Child& label : children) {
        if (!isTextLabel(label.window)) {
            continue;
        }
        const LONG needed = textWidth(dc, label.window);
        const LONG width = label.place.right - label.place.left;
        if (needed <= width) {
            continue;
        }
        // The nearest control to the right on the same band of the dialog bounds the growth.
        LONG limit = client.right - GAP;
        for (const Child& other : children) {
            const bool sameBand =
                other.place.top < label.place.bottom && other.place.bottom > label.place.top;
            if (other.window != label.window && sameBand && other.place.left >= label.place.right) {
                limit = std::min(limit, other.place.left - GAP);
            }
        }
        const LONG grown = std::min(needed, limit - label.place.left);
        if (grown > width) {
            ::SetWindowPos(label.window, nullptr, 0, 0, grown, label.place.bottom - label.place.top,
                           SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
    ::SelectObject(dc, previous);
    ::ReleaseDC(dialog, dc);
}

}  // namespace kaptor::win32
