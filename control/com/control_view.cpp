// The control drawn into a container's device context (IViewObject2): the same picture as in
// its own window.
#include "control/com/control_object.h"

#include "control/com/drawing.h"

namespace kaptor::com {

HRESULT ControlObject::Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC dc,
                            LPCRECTL bounds, LPCRECTL, BOOL(STDMETHODCALLTYPE*)(ULONG_PTR),
                            ULONG_PTR) {
    if (aspect != DVASPECT_CONTENT) {
        return DV_E_DVASPECT;
    }
    if (dc == nullptr) {
        return E_INVALIDARG;
    }
    RECT area{};
    if (bounds != nullptr) {
        area = {bounds->left, bounds->top, bounds->right, bounds->bottom};
    } else if (window_ != nullptr) {
        // In place, a container may leave the bounds to the control: its own window's.
        ::GetClientRect(window_, &area);
    } else {
        return E_INVALIDARG;
    }
    drawControl(dc, area);
    return S_OK;
}

HRESULT ControlObject::GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE** colours) {
    if (colours != nullptr) {
        *colours = nullptr;
    }
    return S_FALSE;
}

HRESULT ControlObject::Freeze(DWORD, LONG, void*, DWORD*) {
    return E_NOTIMPL;
}

HRESULT ControlObject::Unfreeze(DWORD) {
    return E_NOTIMPL;
}

HRESULT ControlObject::SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) {
    viewAspects_ = aspects;
    viewAdviseFlags_ = flags;
    viewSink_ = sink;
    return S_OK;
}

HRESULT ControlObject::GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) {
    if (aspects != nullptr) {
        *aspects = viewAspects_;
    }
    if (flags != nullptr) {
        *flags = viewAdviseFlags_;
    }
    if (sink != nullptr) {
        *sink = viewSink_.Get();
        if (*sink != nullptr) {
            (*sink)->AddRef();
        }
    }
    return S_OK;
}

HRESULT ControlObject::GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, LPSIZEL size) {
    return static_cast<IOleObject*>(this)->GetExtent(aspect, size);
}

void ControlObject::notifyViewChanged() {
    if (viewSink_) {
        viewSink_->OnViewChange(DVASPECT_CONTENT, -1);
    }
    if (window_ != nullptr) {
        ::InvalidateRect(window_, nullptr, TRUE);
    }
}

}  // namespace kaptor::com
