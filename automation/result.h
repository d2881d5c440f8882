// Result codes of the automation runtime, with the values hosts know them by.
#pragma once

#include <cstdint>

namespace kaptor::automation {

using HResult = std::int32_t;
using DispId = std::int32_t;

constexpr HResult S_OK = 0;
constexpr HResult E_FAIL = static_cast<HResult>(0x80004005u);
constexpr HResult E_INVALIDARG = static_cast<HResult>(0x80070057u);
constexpr HResult DISP_E_MEMBERNOTFOUND = static_cast<HResult>(0x80020003u);
constexpr HResult DISP_E_TYPEMISMATCH = static_cast<HResult>(0x80020005u);
constexpr HResult DISP_E_EXCEPTION = static_cast<HResult>(0x80020009u);
constexpr HResult DISP_E_UNKNOWNNAME = static_cast<HResult>(0x80020006u);
constexpr HResult DISP_E_BADPARAMCOUNT = static_cast<HResult>(0x8002000Eu);

constexpr DispId DISPID_ABOUTBOX = -552;

constexpr bool succeeded(HResult hr) {
    return hr >= 0;
}

}  // namespace kaptor::automation
