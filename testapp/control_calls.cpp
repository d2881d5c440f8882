#include "testapp/control_calls.h"

#include <cwchar>

namespace kaptor::kapshot {
namespace {

CallResult invoke(IDispatch& control, DISPID id, WORD flags, DISPPARAMS& params, VARIANT* result) {
    EXCEPINFO exception{};
    UINT argumentError = 0;
    CallResult outcome;
    outcome.status = control.Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result,
                                    &exception, &argumentError);
    if (outcome.status == DISP_E_EXCEPTION) {
        if (exception.pfnDeferredFillIn != nullptr) {
            exception.pfnDeferredFillIn(&exception);
        }
        if (exception.bstrDescription != nullptr) {
            outcome.description = exception.bstrDescription;
        }
        if (FAILED(exception.scode)) {
            outcome.status = exception.scode;
        }
    }
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
    return outcome;
}

}  // namespace

CallResult putText(IDispatch& control, DISPID id, const std::wstring& value) {
    VARIANT argument;
    VariantInit(&argument);
    argument.vt = VT_BSTR;
    argument.bstrVal = SysAllocStringLen(value.data(), static_cast<UINT>(value.size()));
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params{&argument, &named, 1, 1};
    const CallResult result = invoke(control, id, DISPATCH_PROPERTYPUT, params, nullptr);
    VariantClear(&argument);
    return result;
}

CallResult getText(IDispatch& control, DISPID id, std::wstring& value) {
    VARIANT result;
    VariantInit(&result);
    DISPPARAMS params{nullptr, nullptr, 0, 0};
    CallResult outcome = invoke(control, id, DISPATCH_PROPERTYGET, params, &result);
    if (outcome.ok()) {
        // Whatever the control returns is turned into text, as a late-bound caller does.
        outcome.status = VariantChangeType(&result, &result, 0, VT_BSTR);
        if (outcome.ok()) {
            value.assign(result.bstrVal, SysStringLen(result.bstrVal));
        }
    }
    VariantClear(&result);
    return outcome;
}

CallResult callMethod(IDispatch& control, DISPID id) {
    DISPPARAMS params{nullptr, nullptr, 0, 0};
    return invoke(control, id, DISPATCH_METHOD, params, nullptr);
}

std::wstring describeFailure(const wchar_t* what, const CallResult& result) {
    wchar_t code[16];
    std::swprintf(code, 16, L"0x%08lX", static_cast<unsigned long>(result.status));
    std::wstring text = std::wstring(what) + L": " + code;
    if (!result.description.empty()) {
        text += L"\n" + result.description;
    }
    return text;
}

}  // namespace kaptor::kapshot
