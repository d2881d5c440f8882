// The control as an embedded object: client site, verbs, extent, advise sinks, misc status,
// and the control's own part of embedding (IOleControl).
#include "control/com/control_object.h"

#include <cstring>
#include <string>

#include "control/com/identifiers.h"
#include "control/com/task_memory.h"
#include "control/res/resource.h"

namespace kaptor::com {
HRESULT ControlObject::SetClientSite(IOleClientSite* site) {
    clientSite_ = site;
    if (site == nullptr) {
        inPlaceSite_.Reset();
    }
    return S_OK;
}

HRESULT ControlObject::GetClientSite(IOleClientSite** site) {
    if (site == nullptr) {
        return E_POINTER;
    }
    *site = clientSite_.Get();
    if (*site != nullptr) {
        (*site)->AddRef();
    }
    return S_OK;
}

HRESULT ControlObject::SetHostNames(LPCOLESTR, LPCOLESTR) {
    return S_OK;
}

HRESULT ControlObject::Close(DWORD saveOption) {
    if (dirty_ && clientSite_ &&
        (saveOption == OLECLOSE_SAVEIFDIRTY || saveOption == OLECLOSE_PROMPTSAVE)) {
        clientSite_->SaveObject();
    }
    InPlaceDeactivate();
    if (adviseHolder_) {
        adviseHolder_->SendOnClose();
    }
    return S_OK;
}

HRESULT ControlObject::SetMoniker(DWORD, IMoniker*) {
    return E_NOTIMPL;
}

HRESULT ControlObject::GetMoniker(DWORD, DWORD, IMoniker** moniker) {
    if (moniker != nullptr) {
        *moniker = nullptr;
    }
    return E_NOTIMPL;
}

HRESULT ControlObject::InitFromData(IDataObject*, BOOL, DWORD) {
    return E_NOTIMPL;
}

HRESULT ControlObject::GetClipboardData(DWORD, IDataObject** data) {
    if (data != nullptr) {
        *data = nullptr;
    }
    return E_NOTIMPL;
}

HRESULT ControlObject::DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND parent, LPCRECT) {
    // The property frame is modal: the object stays while it is open, whoever lets go of it.
    const ComPtr<ControlObject> hold(this);
    if (site != nullptr && !clientSite_) {
        clientSite_ = site;
    }
    switch (verb) {
        case OLEIVERB_PRIMARY:
        case OLEIVERB_SHOW:
        case OLEIVERB_UIACTIVATE:
            return activateInPlace(true);
        case OLEIVERB_INPLACEACTIVATE:
            return activateInPlace(false);
        case OLEIVERB_HIDE:
            if (window_ != nullptr) {
                ::ShowWindow(window_, SW_HIDE);
            }
            return S_OK;
        case OLEIVERB_PROPERTIES:
            return showProperties(parent);
        default:
            return verb < 0 ? E_NOTIMPL : OLEOBJ_S_INVALIDVERB;
    }
}

HRESULT ControlObject::showProperties(HWND parent) {
    if (parent == nullptr) {
        parent = ownerWindow();
    }
    IUnknown* objects[] = {static_cast<IDispatch*>(this)};
    CLSID pages[] = {CLSID_KAPTORAXPropPage};
    const std::wstring caption = module::loadString(IDS_KAPTORAX);
    return ::OleCreatePropertyFrame(parent, 0, 0, caption.c_str(), 1, objects, 1, pages,
                                    ::GetUserDefaultLCID(), 0, nullptr);
}

HRESULT ControlObject::EnumVerbs(IEnumOLEVERB** verbs) {
    if (verbs == nullptr) {
        return E_POINTER;
    }
    return ::OleRegEnumVerbs(CLSID_KAPTORAX, verbs);
}

HRESULT ControlObject::Update() {
    return S_OK;
}

HRESULT ControlObject::IsUpToDate() {
    return S_OK;
}

HRESULT ControlObject::GetUserClassID(CLSID* clsid) {
    if (clsid == nullptr) {
        return E_POINTER;
    }
    *clsid = CLSID_KAPTORAX;
    return S_OK;
}

HRESULT ControlObject::GetUserType(DWORD, LPOLESTR* name) {
    if (name == nullptr) {
        return E_POINTER;
    }
    *name = taskMemoryCopy(module::loadString(IDS_KAPTORAX));
    return *name == nullptr ? E_OUTOFMEMORY : S_OK;
}

HRESULT ControlObject::SetExtent(DWORD aspect, SIZEL* size) {
    if (size == nullptr) {
        return E_POINTER;
    }
    if (aspect != DVASPECT_CONTENT) {
        return DV_E_DVASPECT;
    }
    if (size->cx != extent_.cx || size->cy != extent_.cy) {
        extent_ = *size;
        dirty_ = true;
    }
    return S_OK;
}

HRESULT ControlObject::GetExtent(DWORD aspect, SIZEL* size) {
    if (size == nullptr) {
        return E_POINTER;
    }
    if (aspect != DVASPECT_CONTENT) {
        return DV_E_DVASPECT;
    }
    *size = extent_;
    return S_OK;
}

HRESULT ControlObject::Advise(IAdviseSink* sink, DWORD* cookie) {
    if (!adviseHolder_) {
        if (const HRESULT hr = ::CreateOleAdviseHolder(adviseHolder_.GetAddressOf()); FAILED(hr)) {
            return hr;
        }
    }
    return adviseHolder_->Advise(sink, cookie);
}

HRESULT ControlObject::Unadvise(DWORD cookie) {
    return adviseHolder_ ? adviseHolder_->Unadvise(cookie) : OLE_E_NOCONNECTION;
}

HRESULT ControlObject::EnumAdvise(IEnumSTATDATA** advise) {
    if (advise == nullptr) {
        return E_POINTER;
    }
    *advise = nullptr;
    return adviseHolder_ ? adviseHolder_->EnumAdvise(advise) : S_OK;
}

HRESULT ControlObject::GetMiscStatus(DWORD, DWORD* status) {
    if (status == nullptr) {
        return E_POINTER;
    }
    *status = CONTROL_MISC_STATUS;
    return S_OK;
}

HRESULT ControlObject::SetColorScheme(LOGPALETTE*) {
    return E_NOTIMPL;
}

// IOleControl

HRESULT ControlObject::GetControlInfo(CONTROLINFO* info) {
    if (info == nullptr) {
        return E_POINTER;
    }
    // No mnemonics, and Enter and Escape stay with the container.
    info->cb = sizeof(CONTROLINFO);
    info->hAccel = nullptr;
    info->cAccel = 0;
    info->dwFlags = 0;
    return S_OK;
}

HRESULT ControlObject::OnMnemonic(MSG*) {
    return E_NOTIMPL;
}

HRESULT ControlObject::OnAmbientPropertyChange(DISPID) {
    return S_OK;
}

HRESULT ControlObject::FreezeEvents(BOOL) {
    return S_OK;
}

}  // namespace kaptor::com
