// The module's entry points: start-up and the four exports of an in-process COM server.
// The control object's header brings the portable headers before the Windows headers.
#include "control/com/control_object.h"

#include <windows.h>

#include <olectl.h>

#include "control/com/class_factory.h"
#include "control/com/identifiers.h"
#include "control/com/module.h"
#include "control/com/property_page.h"
#include "control/com/registration.h"

namespace {

kaptor::com::ClassFactory controlFactory(&kaptor::com::ControlObject::create);
kaptor::com::ClassFactory propertyPageFactory(&kaptor::com::PropertyPage::create);

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        kaptor::com::module::setInstance(instance);
        ::DisableThreadLibraryCalls(instance);
    } else if (reason == DLL_PROCESS_DETACH) {
        kaptor::com::unregisterControlWindowClass(instance);
    }
    return TRUE;
}

extern "C" HRESULT STDAPICALLTYPE DllRegisterServer() {
    return kaptor::com::registerServer(kaptor::com::module::path());
}

extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer() {
    return kaptor::com::unregisterServer();
}

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    *object = nullptr;
    if (IsEqualCLSID(clsid, kaptor::com::CLSID_KAPTORAX)) {
        return controlFactory.QueryInterface(iid, object);
    }
    if (IsEqualCLSID(clsid, kaptor::com::CLSID_KAPTORAXPropPage)) {
        return propertyPageFactory.QueryInterface(iid, object);
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() {
    return kaptor::com::module::canUnload() ? S_OK : S_FALSE;
}
