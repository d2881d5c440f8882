// The control's one connection point, for its event interface. The control fires no events, but
// a container may still connect its sink; the point keeps the sinks until they disconnect. The
// point lives inside the control and shares the control's reference count.
#pragma once

#include <ocidl.h>
#include <wrl/client.h>

#include <map>

namespace kaptor::com {

class EventConnectionPoint final : public IConnectionPoint {
  public:
    EventConnectionPoint(IConnectionPointContainer& container, REFIID eventInterface);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override;
    HRESULT STDMETHODCALLTYPE
    GetConnectionPointContainer(IConnectionPointContainer** container) override;
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override;
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** connections) override;

    std::size_t connectionCount() const { return sinks_.size(); }

  private:
    IConnectionPointContainer& container_;
    IID eventInterface_;
    std::map<DWORD, Microsoft::WRL::ComPtr<IUnknown>> sinks_;
    DWORD nextCookie_ = 1;
};

// An enumeration over one connection point.
HRESULT enumerateOnePoint(IConnectionPoint& point, IEnumConnectionPoints** points);

}  // namespace kaptor::com
