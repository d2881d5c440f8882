#include "control/com/connection_point.h"

#include <olectl.h>

#include <atomic>
#include <new>

#include "control/com/module.h"

namespace kaptor::com {
namespace {

class OnePointEnumeration final : public IEnumConnectionPoints {
  public:
    OnePointEnumeration(IConnectionPoint& point, ULONG position)
        : point_(&point), position_(position) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IEnumConnectionPoints)) {
            *object = static_cast<IEnumConnectionPoints*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --references_;
        if (left == 0) {
            delete this;
        }
        return left;
    }
    HRESULT STDMETHODCALLTYPE Next(ULONG wanted, IConnectionPoint** points,
                                   ULONG* fetched) override {
        if (points == nullptr || (wanted != 1 && fetched == nullptr)) {
            return E_POINTER;
        }
        ULONG given = 0;
        if (wanted > 0 && position_ == 0) {
            points[0] = point_.Get();
            point_->AddRef();
            position_ = 1;
            given = 1;
        }
        if (fetched != nullptr) {
            *fetched = given;
        }
        return given == wanted ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override {
        if (count == 0) {
            return S_OK;
        }
        const bool had = position_ == 0;
        position_ = 1;
        return had && count == 1 ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Reset() override {
        position_ = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Clone(IEnumConnectionPoints** copy) override {
        if (copy == nullptr) {
            return E_POINTER;
        }
        *copy = new (std::nothrow) OnePointEnumeration(*point_.Get(), position_);
        return *copy == nullptr ? E_OUTOFMEMORY : S_OK;
    }

  private:
    module::ObjectCount count_;
    std::atomic<ULONG> references_{1};
    Microsoft::WRL::ComPtr<IConnectionPoint> point_;
    ULONG position_;
};

}  // namespace

EventConnectionPoint::EventConnectionPoint(IConnectionPointContainer& container,
                                           REFIID eventInterface)
    : container_(container), eventInterface_(eventInterface) {}

HRESULT EventConnectionPoint::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IConnectionPoint)) {
        *object = static_cast<IConnectionPoint*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG EventConnectionPoint::AddRef() {
    return container_.AddRef();
}

ULONG EventConnectionPoint::Release() {
    return container_.Release();
}

HRESULT EventConnectionPoint::GetConnectionInterface(IID* iid) {
    if (iid == nullptr) {
        return E_POINTER;
    }
    *iid = eventInterface_;
    return S_OK;
}

HRESULT EventConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** container) {
    if (container == nullptr) {
        return E_POINTER;
    }
    *container = &container_;
    container_.AddRef();
    return S_OK;
}

HRESULT EventConnectionPoint::Advise(IUnknown* sink, DWORD* cookie) {
    if (sink == nullptr || cookie == nullptr) {
        return E_POINTER;
    }
    *cookie = 0;
    // The sink must speak the event interface, or at least IDispatch, through which events of
    // a dispatch interface travel.
    Microsoft::WRL::ComPtr<IUnknown> events;
    if (FAILED(sink->QueryInterface(eventInterface_,
                                    reinterpret_cast<void**>(events.GetAddressOf()))) &&
        FAILED(
            sink->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(events.GetAddressOf())))) {
        return CONNECT_E_CANNOTCONNECT;
    }
    *cookie = nextCookie_++;
    sinks_.emplace(*cookie, events);
    return S_OK;
}

HRESULT EventConnectionPoint::Unadvise(DWORD cookie) {
    return sinks_.erase(cookie) == 1 ? S_OK : CONNECT_E_NOCONNECTION;
}

HRESULT EventConnectionPoint::EnumConnections(IEnumConnections** connections) {
    if (connections == nullptr) {
        return E_POINTER;
    }
    *connections = nullptr;
    return E_NOTIMPL;
}

HRESULT enumerateOnePoint(IConnectionPoint& point, IEnumConnectionPoints** points) {
    if (points == nullptr) {
        return E_POINTER;
    }
    *points = new (std::nothrow) OnePointEnumeration(point, 0);
    return *points == nullptr ? E_OUTOFMEMORY : S_OK;
}

}  // namespace kaptor::com
