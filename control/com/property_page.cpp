#include "control/com/property_page.h"

#include <cstring>
#include <new>
#include <string>

#include "control/com/task_memory.h"
#include "control/res/resource.h"

namespace kaptor::com {
namespace {

INT_PTR CALLBACK pageProc(HWND, UINT message, WPARAM, LPARAM) {
    // The page binds no control: it only shows its text.
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

// The page's size in pixels: the template laid out once, unseen, as a pop-up window.
SIZE pageSize(HINSTANCE module) {
    SIZE size{0, 0};
    HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(IDD_PROPPAGE_KAPTORAX),
                                  reinterpret_cast<LPCWSTR>(RT_DIALOG));
    HGLOBAL loaded = found != nullptr ? ::LoadResource(module, found) : nullptr;
    const void* bytes = loaded != nullptr ? ::LockResource(loaded) : nullptr;
    if (bytes == nullptr) {
        return size;
    }
    std::string copy(static_cast<const char*>(bytes), ::SizeofResource(module, found));
    DLGTEMPLATE header;
    std::memcpy(&header, copy.data(), sizeof header);
    header.style = (header.style & ~static_cast<DWORD>(WS_CHILD | WS_VISIBLE)) | WS_POPUP;
    std::memcpy(copy.data(), &header, sizeof header);
    HWND probe = ::CreateDialogIndirectParamW(
        module, reinterpret_cast<LPCDLGTEMPLATEW>(copy.data()), nullptr, pageProc, 0);
    if (probe != nullptr) {
        RECT client;
        ::GetClientRect(probe, &client);
        size = {client.right - client.left, client.bottom - client.top};
        ::DestroyWindow(probe);
    }
    return size;
}

}  // namespace

HRESULT PropertyPage::create(REFIID iid, void** object) {
    auto* created = new (std::nothrow) PropertyPage();
    if (created == nullptr) {
        return E_OUTOFMEMORY;
    }
    const HRESULT hr = created->QueryInterface(iid, object);
    created->Release();
    return hr;
}

PropertyPage::~PropertyPage() {
    if (window_ != nullptr) {
        ::DestroyWindow(window_);
    }
}

HRESULT PropertyPage::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IPropertyPage)) {
        *object = static_cast<IPropertyPage*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG PropertyPage::AddRef() {
    return ++references_;
}

ULONG PropertyPage::Release() {
    const ULONG left = --references_;
    if (left == 0) {
        delete this;
    }
    return left;
}

HRESULT PropertyPage::SetPageSite(IPropertyPageSite* site) {
    site_ = site;
    return S_OK;
}

HRESULT PropertyPage::Activate(HWND parent, LPCRECT area, BOOL) {
    if (window_ != nullptr) {
        return E_UNEXPECTED;
    }
    window_ = ::CreateDialogParamW(module::instance(), MAKEINTRESOURCEW(IDD_PROPPAGE_KAPTORAX),
                                   parent, pageProc, 0);
    if (window_ == nullptr) {
        return E_OUTOFMEMORY;
    }
    if (area != nullptr) {
        Move(area);
    }
    return S_OK;
}

HRESULT PropertyPage::Deactivate() {
    if (window_ != nullptr) {
        ::DestroyWindow(window_);
        window_ = nullptr;
    }
    return S_OK;
}

HRESULT PropertyPage::GetPageInfo(PROPPAGEINFO* info) {
    if (info == nullptr) {
        return E_POINTER;
    }
    info->cb = sizeof(PROPPAGEINFO);
    info->pszTitle = taskMemoryCopy(module::loadString(IDS_KAPTORAX_PPG_CAPTION));
    info->size = pageSize(module::instance());
    info->pszDocString = nullptr;
    info->pszHelpFile = nullptr;
    info->dwHelpContext = 0;
    return info->pszTitle == nullptr ? E_OUTOFMEMORY : S_OK;
}

HRESULT PropertyPage::SetObjects(ULONG count, IUnknown** objects) {
    if (count > 0 && objects == nullptr) {
        return E_POINTER;
    }
    objects_.assign(objects, objects + count);
    return S_OK;
}

HRESULT PropertyPage::Show(UINT command) {
    if (window_ == nullptr) {
        return E_UNEXPECTED;
    }
    ::ShowWindow(window_, static_cast<int>(command));
    return S_OK;
}

HRESULT PropertyPage::Move(LPCRECT area) {
    if (area == nullptr) {
        return E_POINTER;
    }
    if (window_ == nullptr) {
        return E_UNEXPECTED;
    }
    ::MoveWindow(window_, area->left, area->top, area->right - area->left, area->bottom - area->top,
                 TRUE);
    return S_OK;
}

HRESULT PropertyPage::IsPageDirty() {
    return S_FALSE;
}

HRESULT PropertyPage::Apply() {
    return S_OK;
}

HRESULT PropertyPage::Help(LPCOLESTR) {
    return E_NOTIMPL;
}

HRESULT PropertyPage::TranslateAccelerator(MSG* message) {
    if (message == nullptr) {
        return E_POINTER;
    }
    return window_ != nullptr && ::IsDialogMessageW(window_, message) ? S_OK : S_FALSE;
}

}  // namespace kaptor::com
