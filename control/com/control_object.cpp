// The control object's identity and its automation: QueryInterface, lifetime, IDispatch, class
// information, property pages and the connection point container.
#include "control/com/control_object.h"

#include <algorithm>
#include <new>
#include <string>
#include <vector>

#include "control/com/error_info.h"
#include "control/com/identifiers.h"
#include "control/com/variant_conversion.h"
#include "platform/text.h"

namespace kaptor::com {
namespace {

// The default extent: 100 x 50 pixels at 96 dots per inch, in HIMETRIC.
constexpr LONG DEFAULT_EXTENT_X = 2646;
constexpr LONG DEFAULT_EXTENT_Y = 1323;

// The object seen through one of its interfaces.
template <typename Interface>
IUnknown* as(ControlObject& object) {
    return static_cast<Interface*>(&object);
}

}  // namespace

ControlObject::ControlObject()
    : host_(module::instance(), [this] { return ownerWindow(); }),
      ctrl_(std::make_unique<control::CKAPTORAXCtrl>(host_.services())),
      extent_{DEFAULT_EXTENT_X, DEFAULT_EXTENT_Y},
      events_(*this, DIID_DKAPTORAXEvents) {}

ControlObject::~ControlObject() {
    if (window_ != nullptr) {
        ::DestroyWindow(window_);
    }
}

HRESULT ControlObject::create(REFIID iid, void** object) {
    ControlObject* created = nullptr;
    try {
        created = new ControlObject();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    const HRESULT hr = created->QueryInterface(iid, object);
    created->Release();
    return hr;
}

HRESULT ControlObject::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    *object = nullptr;
    // Every interface the object answers, with the base whose table serves it.
    static const struct {
        const IID& iid;
        IUnknown* (*pointer)(ControlObject&);
    } interfaces[] = {
        {IID_IUnknown, as<IDispatch>},
        {IID_IDispatch, as<IDispatch>},
        {DIID_DKAPTORAX, as<IDispatch>},
        {IID_IOleObject, as<IOleObject>},
        {IID_IOleWindow, as<IOleInPlaceObject>},
        {IID_IOleInPlaceObject, as<IOleInPlaceObject>},
        {IID_IOleInPlaceActiveObject, as<IOleInPlaceActiveObject>},
        {IID_IOleControl, as<IOleControl>},
        {IID_IViewObject, as<IViewObject2>},
        {IID_IViewObject2, as<IViewObject2>},
        {IID_IPersist, as<IPersistStreamInit>},
        {IID_IPersistStreamInit, as<IPersistStreamInit>},
        // IPersistStreamInit extends IPersistStream's table with InitNew at its end.
        {IID_IPersistStream, as<IPersistStreamInit>},
        {IID_IPersistPropertyBag, as<IPersistPropertyBag>},
        {IID_IPersistStorage, as<IPersistStorage>},
        {IID_IProvideClassInfo, as<IProvideClassInfo2>},
        {IID_IProvideClassInfo2, as<IProvideClassInfo2>},
        {IID_ISpecifyPropertyPages, as<ISpecifyPropertyPages>},
        {IID_IConnectionPointContainer, as<IConnectionPointContainer>},
        {IID_ISupportErrorInfo, as<ISupportErrorInfo>},
    };
    for (const auto& entry : interfaces) {
        if (IsEqualIID(iid, entry.iid)) {
            IUnknown* pointer = entry.pointer(*this);
            pointer->AddRef();
            *object = pointer;
            return S_OK;
        }
    }
    return E_NOINTERFACE;
}

ULONG ControlObject::AddRef() {
    return ++references_;
}

ULONG ControlObject::Release() {
    const ULONG left = --references_;
    if (left == 0) {
        // References taken while the object goes (a container that is told of the
        // deactivation) must not bring the count to zero a second time.
        references_ = 1;
        InPlaceDeactivate();
        delete this;
    }
    return left;
}

HWND ControlObject::ownerWindow() const {
    if (window_ != nullptr) {
        return ::GetAncestor(window_, GA_ROOT);
    }
    HWND container = nullptr;
    if (inPlaceSite_ && SUCCEEDED(inPlaceSite_->GetWindow(&container)) && container != nullptr) {
        return ::GetAncestor(container, GA_ROOT);
    }
    return nullptr;
}

// IDispatch

HRESULT ControlObject::typeInfoOf(REFGUID guid, ITypeInfo** info) {
    if (info == nullptr) {
        return E_POINTER;
    }
    *info = nullptr;
    if (!typeLibrary_) {
        // The registered library first, as hosts find it; the module's own copy otherwise.
        if (FAILED(::LoadRegTypeLib(LIBID_KAPTORAXLib, TYPELIB_MAJOR, TYPELIB_MINOR, TYPELIB_LOCALE,
                                    typeLibrary_.GetAddressOf()))) {
            const HRESULT hr =
                ::LoadTypeLibEx(module::path().c_str(), REGKIND_NONE, typeLibrary_.GetAddressOf());
            if (FAILED(hr)) {
                return hr;
            }
        }
    }
    return typeLibrary_->GetTypeInfoOfGuid(guid, info);
}

HRESULT ControlObject::GetTypeInfoCount(UINT* count) {
    if (count == nullptr) {
        return E_POINTER;
    }
    *count = 1;
    return S_OK;
}

HRESULT ControlObject::GetTypeInfo(UINT index, LCID, ITypeInfo** info) {
    if (info != nullptr) {
        *info = nullptr;
    }
    if (index != 0) {
        return DISP_E_BADINDEX;
    }
    return typeInfoOf(DIID_DKAPTORAX, info);
}

HRESULT ControlObject::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    if (!IsEqualIID(iid, IID_NULL)) {
        return DISP_E_UNKNOWNINTERFACE;
    }
    if (count == 0) {
        return S_OK;
    }
    if (ids == nullptr) {
        return E_POINTER;
    }
    if (names == nullptr || std::find(names, names + count, nullptr) != names + count) {
        return E_INVALIDARG;
    }
    ComPtr<ITypeInfo> info;
    if (const HRESULT hr = typeInfoOf(DIID_DKAPTORAX, info.GetAddressOf()); FAILED(hr)) {
        return hr;
    }
    return info->GetIDsOfNames(names, count, ids);
}

HRESULT ControlObject::invokeMember(DISPID id, WORD flags, const DISPPARAMS& params,
                                    VARIANT* result, UINT* argumentError,
                                    automation::ExceptionInfo& failure) {
    using automation::InvokeKind;
    std::vector<automation::Variant> arguments;
    automation::Dispatch& dispatch = ctrl_->dispatch();
    if ((flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0) {
        // A put names its value DISPID_PROPERTYPUT; nothing else may be named.
        if (params.cNamedArgs > 1 ||
            (params.cNamedArgs == 1 && params.rgdispidNamedArgs[0] != DISPID_PROPERTYPUT)) {
            return DISP_E_PARAMNOTFOUND;
        }
        if (const HRESULT hr = fromDispParams(params, arguments, argumentError); FAILED(hr)) {
            return hr;
        }
        const HRESULT hr =
            dispatch.invoke(id, InvokeKind::PropertyPut, arguments, nullptr, &failure);
        if (SUCCEEDED(hr)) {
            dirty_ = true;
        }
        return hr;
    }
    if (params.cNamedArgs != 0) {
        return DISP_E_NONAMEDARGS;
    }
    if (const HRESULT hr = fromDispParams(params, arguments, argumentError); FAILED(hr)) {
        return hr;
    }
    HRESULT hr = DISP_E_MEMBERNOTFOUND;
    automation::Variant value;
    // Late-bound callers often ask for a property get and a method call at once.
    if ((flags & DISPATCH_PROPERTYGET) != 0) {
        hr = dispatch.invoke(id, InvokeKind::PropertyGet, arguments, &value, &failure);
    }
    if (hr == DISP_E_MEMBERNOTFOUND && (flags & DISPATCH_METHOD) != 0) {
        hr = dispatch.invoke(id, InvokeKind::Method, arguments, &value, &failure);
    }
    if (SUCCEEDED(hr) && result != nullptr) {
        hr = toVariant(value, *result);
    }
    return hr;
}

HRESULT ControlObject::Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* params,
                              VARIANT* result, EXCEPINFO* exception, UINT* argumentError) {
    if (!IsEqualIID(iid, IID_NULL)) {
        return DISP_E_UNKNOWNINTERFACE;
    }
    // The caller may let go of its last reference while a member runs (from a message box's
    // message loop): the object stays until the call is over.
    const ComPtr<ControlObject> hold(this);
    // The result is the caller's uninitialised memory: made empty, never freed.
    if (result != nullptr) {
        ::VariantInit(result);
    }
    static const DISPPARAMS noArguments{};
    const DISPPARAMS& passed = params != nullptr ? *params : noArguments;
    if (const HRESULT hr = checkDispParams(passed); FAILED(hr)) {
        return hr;
    }
    ::SetErrorInfo(0, nullptr);
    automation::ExceptionInfo failure;
    HRESULT hr = DISP_E_EXCEPTION;
    // Nothing thrown inside the control may cross into the caller.
    try {
        hr = invokeMember(id, flags, passed, result, argumentError, failure);
    } catch (const std::bad_alloc&) {
        failure = {
            {}, u"Out of memory", std::error_code(ERROR_OUTOFMEMORY, std::system_category())};
    } catch (const std::exception& thrown) {
        failure = {{}, platform::cp1252ToUtf16(thrown.what()), {}};
    } catch (...) {
        failure = {{}, u"Unexpected failure", {}};
    }
    if (hr == DISP_E_EXCEPTION) {
        reportFailure(failure, DIID_DKAPTORAX, exception);
    }
    return hr;
}

HRESULT ControlObject::InterfaceSupportsErrorInfo(REFIID iid) {
    return IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, DIID_DKAPTORAX) ? S_OK : S_FALSE;
}

// IProvideClassInfo2, ISpecifyPropertyPages

HRESULT ControlObject::GetClassInfo(ITypeInfo** info) {
    return typeInfoOf(CLSID_KAPTORAX, info);
}

HRESULT ControlObject::GetGUID(DWORD kind, GUID* guid) {
    if (guid == nullptr) {
        return E_POINTER;
    }
    if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID) {
        *guid = GUID_NULL;
        return E_INVALIDARG;
    }
    *guid = DIID_DKAPTORAXEvents;
    return S_OK;
}

HRESULT ControlObject::GetPages(CAUUID* pages) {
    if (pages == nullptr) {
        return E_POINTER;
    }
    pages->pElems = static_cast<GUID*>(::CoTaskMemAlloc(sizeof(GUID)));
    if (pages->pElems == nullptr) {
        pages->cElems = 0;
        return E_OUTOFMEMORY;
    }
    pages->cElems = 1;
    pages->pElems[0] = CLSID_KAPTORAXPropPage;
    return S_OK;
}

// IConnectionPointContainer

HRESULT ControlObject::EnumConnectionPoints(IEnumConnectionPoints** points) {
    return enumerateOnePoint(events_, points);
}

HRESULT ControlObject::FindConnectionPoint(REFIID iid, IConnectionPoint** point) {
    if (point == nullptr) {
        return E_POINTER;
    }
    *point = nullptr;
    if (!IsEqualIID(iid, DIID_DKAPTORAXEvents)) {
        return CONNECT_E_NOCONNECTION;
    }
    *point = &events_;
    events_.AddRef();
    return S_OK;
}

}  // namespace kaptor::com
