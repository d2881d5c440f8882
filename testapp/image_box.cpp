#include "testapp/image_box.h"

namespace kaptor::kapshot {

const wchar_t IMAGE_BOX_CLASS[] = L"KapshotImageBox";

namespace {

constexpr int HIMETRIC_PER_INCH = 2540;

IPicture* pictureOf(HWND box) {
    return reinterpret_cast<IPicture*>(GetWindowLongPtrW(box, 0));
}

void paint(HWND box) {
    PAINTSTRUCT ps;
    const HDC dc = BeginPaint(box, &ps);
    RECT client;
    GetClientRect(box, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    if (IPicture* picture = pictureOf(box)) {
        OLE_XSIZE_HIMETRIC width = 0;
        OLE_YSIZE_HIMETRIC height = 0;
        picture->get_Width(&width);
        picture->get_Height(&height);
        const int pixelsWide = MulDiv(width, GetDeviceCaps(dc, LOGPIXELSX), HIMETRIC_PER_INCH);
        const int pixelsHigh = MulDiv(height, GetDeviceCaps(dc, LOGPIXELSY), HIMETRIC_PER_INCH);
        // The source rectangle runs from the picture's top down: start at its height, go up.
        picture->Render(dc, 0, 0, pixelsWide, pixelsHigh, 0, height, width, -height, &client);
    }
    EndPaint(box, &ps);
}

LRESULT CALLBACK imageBoxProcedure(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT:
            paint(box);
            return 0;
        case WM_ERASEBKGND:
            return 1;  // painted whole in WM_PAINT
        case WM_DESTROY:
            setImageBoxPicture(box, nullptr);
            return 0;
        default:
            return DefWindowProcW(box, message, wParam, lParam);
    }
}

}  // namespace

bool registerImageBoxClass(HINSTANCE instance) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = imageBoxProcedure;
    windowClass.cbWndExtra = sizeof(IPicture*);
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
    windowClass.lpszClassName = IMAGE_BOX_CLASS;
    return RegisterClassW(&windowClass) != 0;
}

void setImageBoxPicture(HWND box, IPicture* picture) {
    if (picture != nullptr) {
        picture->AddRef();
    }
    if (IPicture* previous = pictureOf(box)) {
        previous->Release();
    }
    SetWindowLongPtrW(box, 0, reinterpret_cast<LONG_PTR>(picture));
    InvalidateRect(box, nullptr, FALSE);
}

}  // namespace kaptor::kapshot
