// KAPSHOT: the test program of the capture control. One window hosts the registered control,
// captures and shows a picture on "Adquiere" and opens the configuration dialog on "Set Placa".
#include <windows.h>

#include <ole2.h>

#include "control/com/identifiers.h"
#include "testapp/form1.h"

namespace {

// The control is created from its class identifier, so its module must be registered.
bool controlIsRegistered() {
    IClassFactory* factory = nullptr;
    const HRESULT found =
        CoGetClassObject(kaptor::com::CLSID_KAPTORAX, CLSCTX_INPROC_SERVER, nullptr,
                         IID_IClassFactory, reinterpret_cast<void**>(&factory));
    if (factory != nullptr) {
        factory->Release();
    }
    return SUCCEEDED(found);
}

int run(HINSTANCE instance, int show) {
    if (!controlIsRegistered()) {
        MessageBoxW(nullptr,
                    L"El control KAPTORAX no est\u00e1 registrado en este equipo.\n"
                    L"Reg\u00edstrelo con:  regsvr32 KAPTORAX.ocx",
                    L"KAPSHOT", MB_OK | MB_ICONSTOP);
        return 2;
    }
    kaptor::kapshot::Form1 form;
    if (!form.create(instance)) {
        return 3;
    }
    form.load(show);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (!IsDialogMessageW(form.window(), &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return static_cast<int>(message.wParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    if (FAILED(OleInitialize(nullptr))) {
        return 3;
    }
    const int status = run(instance, show);
    OleUninitialize();
    return status;
}
