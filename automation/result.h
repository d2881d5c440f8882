// Result codes of the automation runtime, with the values hosts know them by (S_OK, E_FAIL,
// E_INVALIDARG, DISP_E_MEMBERNOTFOUND, DISP_E_TYPEMISMATCH, DISP_E_EXCEPTION, DISP_E_UNKNOWNNAME,
// DISP_E_BADPARAMCOUNT, DISPID_ABOUTBOX), under names of our own: those are macros in the Windows
// headers, and this header stands beside them in any order.
#pragma once

#include <cstdint>

namespace kaptor::automation {

using HResult = std::int32_t;
using DispId = std::int32_t;

constexpr HResult RESULT_OK = 0;
constexpr HResult RESULT_FAIL = static_cast<HResult>(0x80004005u);
constexpr HResult RESULT_INVALID_ARGUMENT = static_cast<HResult>(0x80070057u);
constexpr HResult RESULT_MEMBER_NOT_FOUND = static_cast<HResult>(0x80020003u);
constexpr HResult RESULT_TYPE_MISMATCH = static_cast<HResult>(0x80020005u);
constexpr HResult RESULT_EXCEPTION = static_cast<HResult>(0x80020009u);
constexpr HResult RESULT_UNKNOWN_NAME = static_cast<HResult>(0x80020006u);
constexpr HResult RESULT_BAD_PARAM_COUNT = static_cast<HResult>(0x8002000Eu);

constexpr DispId ABOUTBOX_DISPID = -552;

constexpr bool succeeded(HResult hr) {
    return hr >= 0;
}

}  // namespace kaptor::automation
