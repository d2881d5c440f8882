#include "testapp/form1.h"

#include <olectl.h>

#include <string>

#include "control/com/identifiers.h"
#include "testapp/control_calls.h"
#include "testapp/image_box.h"
#include "testapp/picture_path.h"
#include "testapp/twips.h"

namespace kaptor::kapshot {
namespace {

const wchar_t FORM_CLASS[] = L"KapshotForm1";
constexpr int ID_ADQUIERE = 1001;
constexpr int ID_SET_PLACA = 1002;

// The form as it is laid out, in twips.
constexpr TwipsRect FORM_CLIENT{0, 0, 11550, 9600};
constexpr TwipsRect CONTROL_PLACE{120, 120, 615, 735};
constexpr TwipsRect ADQUIERE_PLACE{720, 0, 1095, 375};
constexpr TwipsRect SET_PLACA_PLACE{1800, 0, 1095, 375};
// Larger than the form's client area, which cuts it off.
constexpr TwipsRect IMAGE_PLACE{720, 360, 18495, 14775};

using AtlAxWinInitFunction = BOOL(WINAPI*)();
using AtlAxGetControlFunction = HRESULT(WINAPI*)(HWND, IUnknown**);

HWND createChild(const wchar_t* windowClass, const wchar_t* text, DWORD style,
                 const PixelRect& place, HWND parent, int id, HINSTANCE instance) {
    const HWND child = CreateWindowExW(
        0, windowClass, text, WS_CHILD | WS_VISIBLE | style, place.left, place.top, place.width,
        place.height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    // The dialog font of the system, as on a form, instead of the bold system font.
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)),
                 FALSE);
    return child;
}

}  // namespace

Form1::~Form1() {
    if (dispatch_ != nullptr) {
        dispatch_->Release();
    }
}

bool Form1::create(HINSTANCE instance) {
    instance_ = instance;
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = FORM_CLASS;
    if (RegisterClassW(&windowClass) == 0 || !registerImageBoxClass(instance)) {
        return false;
    }
    int dpiX = 0;
    int dpiY = 0;
    screenPixelsPerInch(dpiX, dpiY);
    const PixelRect client = toPixels(FORM_CLIENT, dpiX, dpiY);
    const DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    RECT frame{0, 0, client.width, client.height};
    AdjustWindowRect(&frame, style, FALSE);
    // Placed where the window system chooses.
    window_ = CreateWindowExW(0, FORM_CLASS, L"Form1", style, CW_USEDEFAULT, CW_USEDEFAULT,
                              frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                              instance, this);
    return window_ != nullptr && dispatch_ != nullptr;
}

void Form1::createElements(HWND window) {
    int dpiX = 0;
    int dpiY = 0;
    screenPixelsPerInch(dpiX, dpiY);
    // Tab order follows creation: "Adquiere" first, then "Set Placa".
    createChild(L"BUTTON", L"Adquiere", WS_TABSTOP | BS_PUSHBUTTON,
                toPixels(ADQUIERE_PLACE, dpiX, dpiY), window, ID_ADQUIERE, instance_);
    createChild(L"BUTTON", L"Set Placa", WS_TABSTOP | BS_PUSHBUTTON,
                toPixels(SET_PLACA_PLACE, dpiX, dpiY), window, ID_SET_PLACA, instance_);
    image_ = createChild(IMAGE_BOX_CLASS, L"", 0, toPixels(IMAGE_PLACE, dpiX, dpiY), window, 0,
                         instance_);

    const HMODULE atl = LoadLibraryW(L"atl.dll");
    const auto axWinInit = reinterpret_cast<AtlAxWinInitFunction>(
        reinterpret_cast<void*>(GetProcAddress(atl, "AtlAxWinInit")));
    const auto axGetControl = reinterpret_cast<AtlAxGetControlFunction>(
        reinterpret_cast<void*>(GetProcAddress(atl, "AtlAxGetControl")));
    if (axWinInit == nullptr || axGetControl == nullptr || !axWinInit()) {
        report(L"No se encuentra el contenedor de controles ActiveX del sistema (atl.dll).");
        return;
    }
    // The container creates KAPTORAX1 from the control's class identifier.
    wchar_t classText[40] = L"";
    StringFromGUID2(com::CLSID_KAPTORAX, classText, 40);
    control_ = createChild(L"AtlAxWin", classText, 0, toPixels(CONTROL_PLACE, dpiX, dpiY), window,
                           0, instance_);
    IUnknown* unknown = nullptr;
    if (control_ != nullptr && SUCCEEDED(axGetControl(control_, &unknown)) && unknown != nullptr) {
        unknown->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch_));
        unknown->Release();
    }
    if (dispatch_ == nullptr) {
        report(L"No se pudo crear el control KAPTORAX1.");
    }
}

void Form1::load(int show) {
    const CallResult results[] = {
        putText(*dispatch_, DISPID_DIRCONFIG, L"c:\\KAPTOR\\"),
        putText(*dispatch_, DISPID_DESTINOIMAGEN, L"c:\\KAPTOR\\Imagen1.BMP"),
        callMethod(*dispatch_, DISPID_INICIALIZA),
    };
    for (const CallResult& result : results) {
        if (!result.ok()) {
            report(describeFailure(L"KAPTORAX1", result).c_str());
        }
    }
    ShowWindow(window_, show);
    UpdateWindow(window_);
}

void Form1::onAdquiere() {
    const CallResult taken = callMethod(*dispatch_, DISPID_TOMA);
    if (!taken.ok()) {
        report(describeFailure(L"KAPTORAX1.Toma", taken).c_str());
        return;
    }
    std::wstring path;
    const CallResult read = getText(*dispatch_, DISPID_DESTINOIMAGEN, path);
    if (!read.ok()) {
        report(describeFailure(L"KAPTORAX1.destinoimagen", read).c_str());
        return;
    }
    // The system's picture loader reads the file as it is, the zero trailer included.
    std::wstring file = pictureFilePath(path);
    IPicture* picture = nullptr;
    const HRESULT loaded = OleLoadPicturePath(file.data(), nullptr, 0, 0, IID_IPicture,
                                              reinterpret_cast<void**>(&picture));
    if (FAILED(loaded) || picture == nullptr) {
        CallResult failure;
        failure.status = loaded;
        report(describeFailure((L"No se puede cargar la imagen " + path).c_str(), failure).c_str());
        return;
    }
    setImageBoxPicture(image_, picture);
    picture->Release();
}

void Form1::onSetPlaca() {
    const CallResult result = callMethod(*dispatch_, DISPID_SET);
    if (!result.ok()) {
        report(describeFailure(L"KAPTORAX1.Set", result).c_str());
    }
}

void Form1::report(const wchar_t* text) const {
    MessageBoxW(window_, text, L"KAPSHOT", MB_OK);
}

LRESULT CALLBACK Form1::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* form = reinterpret_cast<Form1*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
        case WM_CREATE:
            form->createElements(window);
            return 0;
        case WM_COMMAND:
            if (HIWORD(wParam) == BN_CLICKED && form->dispatch_ != nullptr) {
                if (LOWORD(wParam) == ID_ADQUIERE) {
                    form->onAdquiere();
                } else if (LOWORD(wParam) == ID_SET_PLACA) {
                    form->onSetPlaca();
                }
            }
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace kaptor::kapshot
