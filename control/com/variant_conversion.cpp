#include "control/com/variant_conversion.h"

#include <oleauto.h>

#include <algorithm>
#include <array>
#include <string>

namespace kaptor::com {
namespace {

automation::Bstr fromBstr(BSTR text) {
    const auto* characters = reinterpret_cast<const char16_t*>(text);
    return text == nullptr ? automation::Bstr()
                           : automation::Bstr(characters, ::SysStringLen(text));
}

// The types a VARIANT may hold, alone or by reference (VT_VARIANT only by reference).
constexpr std::array<VARTYPE, 24> VARIANT_TYPES = {
    VT_EMPTY, VT_NULL,     VT_I2,    VT_I4,   VT_R4,      VT_R8,      VT_CY,      VT_DATE,
    VT_BSTR,  VT_DISPATCH, VT_ERROR, VT_BOOL, VT_VARIANT, VT_UNKNOWN, VT_DECIMAL, VT_I1,
    VT_UI1,   VT_UI2,      VT_UI4,   VT_I8,   VT_UI8,     VT_INT,     VT_UINT,    VT_RECORD};

bool isVariantType(VARTYPE base) {
    return std::find(VARIANT_TYPES.begin(), VARIANT_TYPES.end(), base) != VARIANT_TYPES.end();
}

// What a caller passed breaks no rule of the VARIANT layout before anything reads through it:
// a known type, and a reference that points somewhere.
HRESULT checkVariant(const VARIANT& passed, int depth = 0) {
    const VARTYPE vt = V_VT(&passed);
    const VARTYPE base = vt & VT_TYPEMASK;
    const bool byReference = (vt & VT_BYREF) != 0;
    if (!isVariantType(base) || (vt & (VT_VECTOR | VT_RESERVED)) != 0 ||
        (byReference && (base == VT_EMPTY || base == VT_NULL)) ||
        (!byReference && base == VT_VARIANT)) {
        return DISP_E_BADVARTYPE;
    }
    if (byReference && V_BYREF(&passed) == nullptr) {
        return E_POINTER;
    }
    if ((vt & VT_ARRAY) != 0 || base == VT_RECORD) {
        return DISP_E_TYPEMISMATCH;  // no text form
    }
    if (vt == (VT_BYREF | VT_VARIANT)) {
        // One level of indirection, as VariantCopyInd follows.
        return depth > 0 ? DISP_E_BADVARTYPE : checkVariant(*V_VARIANTREF(&passed), depth + 1);
    }
    return S_OK;
}

HRESULT convertOne(const VARIANT& passed, automation::Variant& out) {
    if (const HRESULT hr = checkVariant(passed); FAILED(hr)) {
        return hr;
    }
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

HRESULT checkDispParams(const DISPPARAMS& params) {
    if ((params.cArgs > 0 && params.rgvarg == nullptr) ||
        (params.cNamedArgs > 0 && params.rgdispidNamedArgs == nullptr) ||
        params.cNamedArgs > params.cArgs) {
        return E_INVALIDARG;
    }
    return S_OK;
}

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
    ::VariantInit(&result);
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
