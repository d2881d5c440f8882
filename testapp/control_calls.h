// The test program reaches the control only through IDispatch::Invoke by DISPID, never by name:
// a property put passes one text, a property get returns one, a method takes nothing.
#pragma once

#include <windows.h>

#include <oleauto.h>

#include <string>

namespace kaptor::kapshot {

constexpr DISPID DISPID_DIRCONFIG = 1;
constexpr DISPID DISPID_DESTINOIMAGEN = 2;
constexpr DISPID DISPID_TOMA = 3;
constexpr DISPID DISPID_INICIALIZA = 4;
constexpr DISPID DISPID_SET = 5;

// The outcome of one call: its HRESULT and, when the control raised an exception, its text.
struct CallResult {
    HRESULT status = S_OK;
    std::wstring description;
    bool ok() const { return SUCCEEDED(status); }
};

CallResult putText(IDispatch& control, DISPID id, const std::wstring& value);
CallResult getText(IDispatch& control, DISPID id, std::wstring& value);
CallResult callMethod(IDispatch& control, DISPID id);

// A failed call as a person reads it.
std::wstring describeFailure(const wchar_t* what, const CallResult& result);

}  // namespace kaptor::kapshot
