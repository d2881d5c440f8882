// A class factory of the module: it lives as long as the module and creates one kind of object.
#pragma once

#include <unknwn.h>

namespace kaptor::com {

class ClassFactory final : public IClassFactory {
  public:
    // Creates a new object and answers QueryInterface for iid on it.
    using Create = HRESULT (*)(REFIID iid, void** object);
    explicit ClassFactory(Create create) : create_(create) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

  private:
    Create create_;
};

}  // namespace kaptor::com
