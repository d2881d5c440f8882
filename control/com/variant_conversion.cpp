#include "control/com/variant_conversion.h"

#include <oleauto.h>

#include <string>

namespace kaptor::com {
namespace {

automation::Bstr fromBstr(BSTR text) {
    const auto* characters = reinterpret_cast<const char16_t*>(text);
    return text == nullptr ? automation::Bstr()
                           : automation::Bstr(characters, ::SysStringLen(text));
}

HRESULT convertOne(const VARIANT& passed, automation::Variant& out) {
    VARIANT value;
    ::VariantInit(&value);
    // A value passed by reference is read through its reference.
    HRESULT hr = ::VariantCopyInd(&value, const_cast<VARIANT*>(&passed));
    if (FAILED(hr)) {
        return DISP_E_TYPEMISMATCH;
    }
    switch (V_VT(&value)) {
        case VT_EMPTY:
            out = std::monostate{};
            break;
        case VT_I4:
            out = static_cast<std::int32_t>(V_I4(&value));
            break;
        case VT_BOOL:
            out = V_BOOL(&value) != VARIANT_FALSE;
            break;
        case VT_BSTR:
            out = fromBstr(V_BSTR(&value));
            break;
        default:
            hr = ::VariantChangeType(&value, &value, 0, VT_BSTR);
            if (FAILED(hr)) {
                ::VariantClear(&value);
                return DISP_E_TYPEMISMATCH;
            }
            out = fromBstr(V_BSTR(&value));
            break;
    }
    ::VariantClear(&value);
    return S_OK;
}

}  // namespace

HRESULT fromDispParams(const DISPPARAMS& params, std::vector<automation::Variant>& arguments,
                       UINT* argumentError) {
    arguments.assign(params.cArgs, automation::Variant{});
    for (UINT i = 0; i < params.cArgs; ++i) {
        const UINT position = params.cArgs - 1 - i;
        if (const HRESULT hr = convertOne(params.rgvarg[position], arguments[i]); FAILED(hr)) {
            if (argumentError != nullptr) {
                *argumentError = position;
            }
            return hr;
        }
    }
    return S_OK;
}

HRESULT toVariant(const automation::Variant& value, VARIANT& result) {
    ::VariantClear(&result);
    if (const auto* text = std::get_if<automation::Bstr>(&value)) {
        BSTR copy = ::SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text->data()),
                                        static_cast<UINT>(text->size()));
        if (copy == nullptr) {
            return E_OUTOFMEMORY;
        }
        V_VT(&result) = VT_BSTR;
        V_BSTR(&result) = copy;
    } else if (const auto* number = std::get_if<std::int32_t>(&value)) {
        V_VT(&result) = VT_I4;
        V_I4(&result) = *number;
    } else if (const auto* flag = std::get_if<bool>(&value)) {
        V_VT(&result) = VT_BOOL;
        V_BOOL(&result) = *flag ? VARIANT_TRUE : VARIANT_FALSE;
    }
    return S_OK;
}

}  // namespace kaptor::com
