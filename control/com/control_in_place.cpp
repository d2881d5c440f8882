// The control in place: its child window inside the container's, activation and deactivation,
// and the window's painting.
#include "control/com/control_object.h"

#include "control/com/drawing.h"

namespace kaptor::com {
namespace {

constexpr wchar_t WINDOW_CLASS[] = L"KAPTORAXControlWindow";

// The control's window class, registered with the module the first time a window is made.
bool ensureWindowClass(HINSTANCE module, WNDPROC procedure) {
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    if (::GetClassInfoExW(module, WINDOW_CLASS, &existing)) {
        return true;
    }
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = module;
    windowClass.hCursor = ::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.lpszClassName = WINDOW_CLASS;
    return ::RegisterClassExW(&windowClass) != 0;
}

}  // namespace

void unregisterControlWindowClass(HINSTANCE module) {
    ::UnregisterClassW(WINDOW_CLASS, module);
}

HRESULT ControlObject::activateInPlace(bool uiActivate) {
    if (!clientSite_) {
        return E_UNEXPECTED;
    }
    if (window_ == nullptr) {
        ComPtr<IOleInPlaceSite> site;
        if (FAILED(clientSite_.As(&site))) {
            return OLEOBJ_S_INVALIDVERB;
        }
        if (site->CanInPlaceActivate() != S_OK) {
            return E_FAIL;
        }
        if (const HRESULT hr = site->OnInPlaceActivate(); FAILED(hr)) {
            return hr;
        }
        inPlaceSite_ = site;
        HWND parent = nullptr;
        RECT position{};
        RECT clip{};
        OLEINPLACEFRAMEINFO frameInfo{};
        frameInfo.cb = sizeof frameInfo;
        frame_.Reset();
        document_.Reset();
        if (FAILED(site->GetWindow(&parent)) ||
            FAILED(site->GetWindowContext(frame_.GetAddressOf(), document_.GetAddressOf(),
                                          &position, &clip, &frameInfo)) ||
            !ensureWindowClass(module::instance(), windowProc)) {
            site->OnInPlaceDeactivate();
            inPlaceSite_.Reset();
            return E_FAIL;
        }
        window_ = ::CreateWindowExW(
            0, WINDOW_CLASS, nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, position.left,
            position.top, position.right - position.left, position.bottom - position.top, parent,
            nullptr, module::instance(), this);
        if (window_ == nullptr) {
            site->OnInPlaceDeactivate();
            inPlaceSite_.Reset();
            return E_OUTOFMEMORY;
        }
    }
    ::ShowWindow(window_, SW_SHOW);
    if (uiActivate && !uiActive_) {
        uiActive_ = true;
        inPlaceSite_->OnUIActivate();
        IOleInPlaceActiveObject* active = this;
        if (frame_) {
            frame_->SetActiveObject(active, nullptr);
        }
        if (document_) {
            document_->SetActiveObject(active, nullptr);
        }
    }
    return S_OK;
}

HRESULT ControlObject::GetWindow(HWND* window) {
    if (window == nullptr) {
        return E_POINTER;
    }
    *window = window_;
    return window_ != nullptr ? S_OK : E_FAIL;
}

HRESULT ControlObject::ContextSensitiveHelp(BOOL) {
    return E_NOTIMPL;
}

HRESULT ControlObject::InPlaceDeactivate() {
    if (window_ == nullptr) {
        return S_OK;
    }
    UIDeactivate();
    ::DestroyWindow(window_);
    window_ = nullptr;
    if (inPlaceSite_) {
        inPlaceSite_->OnInPlaceDeactivate();
    }
    inPlaceSite_.Reset();
    frame_.Reset();
    document_.Reset();
    return S_OK;
}

HRESULT ControlObject::UIDeactivate() {
    if (!uiActive_) {
        return S_OK;
    }
    uiActive_ = false;
    if (frame_) {
        frame_->SetActiveObject(nullptr, nullptr);
    }
    if (document_) {
        document_->SetActiveObject(nullptr, nullptr);
    }
    if (inPlaceSite_) {
        inPlaceSite_->OnUIDeactivate(FALSE);
    }
    return S_OK;
}

HRESULT ControlObject::SetObjectRects(LPCRECT position, LPCRECT) {
    if (position == nullptr) {
        return E_POINTER;
    }
    if (window_ != nullptr) {
        ::MoveWindow(window_, position->left, position->top, position->right - position->left,
                     position->bottom - position->top, TRUE);
    }
    return S_OK;
}

HRESULT ControlObject::ReactivateAndUndo() {
    return INPLACE_E_NOTUNDOABLE;
}

HRESULT ControlObject::TranslateAccelerator(LPMSG) {
    return S_FALSE;
}

HRESULT ControlObject::OnFrameWindowActivate(BOOL) {
    return S_OK;
}

HRESULT ControlObject::OnDocWindowActivate(BOOL) {
    return S_OK;
}

HRESULT ControlObject::ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) {
    return S_OK;
}

HRESULT ControlObject::EnableModeless(BOOL) {
    return S_OK;
}

void ControlObject::paint(HWND window) {
    PAINTSTRUCT paintInfo;
    HDC dc = ::BeginPaint(window, &paintInfo);
    if (dc == nullptr) {
        return;
    }
    RECT bounds;
    ::GetClientRect(window, &bounds);
    drawControl(dc, bounds);
    ::EndPaint(window, &paintInfo);
}

LRESULT CALLBACK ControlObject::windowProc(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* creation = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        ::SetWindowLongPtrW(window, GWLP_USERDATA,
                            reinterpret_cast<LONG_PTR>(creation->lpCreateParams));
    }
    auto* self = reinterpret_cast<ControlObject*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
        case WM_ERASEBKGND:
            // Painting covers the whole window.
            return 1;
        case WM_PAINT:
            if (self != nullptr) {
                self->paint(window);
                return 0;
            }
            break;
        case WM_NCDESTROY:
            ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            break;
        default:
            break;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace kaptor::com
