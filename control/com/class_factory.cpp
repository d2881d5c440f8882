#include "control/com/class_factory.h"

#include "control/com/module.h"

namespace kaptor::com {

HRESULT ClassFactory::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
        *object = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

// The factories belong to the module; references to them count as server locks.
ULONG ClassFactory::AddRef() {
    module::lock();
    return 2;
}

ULONG ClassFactory::Release() {
    module::unlock();
    return 1;
}

HRESULT ClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    *object = nullptr;
    if (outer != nullptr) {
        return CLASS_E_NOAGGREGATION;
    }
    return create_(iid, object);
}

HRESULT ClassFactory::LockServer(BOOL lock) {
    if (lock) {
        module::lock();
    } else {
        module::unlock();
    }
    return S_OK;
}

}  // namespace kaptor::com
