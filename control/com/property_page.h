// The control's property page: dialog 200 under the caption "General", with its one line of
// text and nothing to edit. A property frame shows it through IPropertyPage.
#pragma once

#include <ocidl.h>
#include <wrl/client.h>

#include <atomic>
#include <vector>

#include "control/com/module.h"

namespace kaptor::com {

class PropertyPage final : public IPropertyPage {
  public:
    // The class factory's creation function.
    static HRESULT create(REFIID iid, void** object);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE SetPageSite(IPropertyPageSite* site) override;
    HRESULT STDMETHODCALLTYPE Activate(HWND parent, LPCRECT area, BOOL modal) override;
    HRESULT STDMETHODCALLTYPE Deactivate() override;
    HRESULT STDMETHODCALLTYPE GetPageInfo(PROPPAGEINFO* info) override;
    HRESULT STDMETHODCALLTYPE SetObjects(ULONG count, IUnknown** objects) override;
    HRESULT STDMETHODCALLTYPE Show(UINT command) override;
    HRESULT STDMETHODCALLTYPE Move(LPCRECT area) override;
    HRESULT STDMETHODCALLTYPE IsPageDirty() override;
    HRESULT STDMETHODCALLTYPE Apply() override;
    HRESULT STDMETHODCALLTYPE Help(LPCOLESTR helpFolder) override;
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(MSG* message) override;

  private:
    PropertyPage() = default;
    ~PropertyPage();

    module::ObjectCount count_;
    std::atomic<ULONG> references_{1};
    Microsoft::WRL::ComPtr<IPropertyPageSite> site_;
    std::vector<Microsoft::WRL::ComPtr<IUnknown>> objects_;
    HWND window_ = nullptr;
};

}  // namespace kaptor::com
