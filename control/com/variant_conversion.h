// VARIANT and BSTR at the dispatch boundary, with the usual ownership: the caller owns what it
// passes, and what a property get returns belongs to the caller from then on.
#pragma once

#include <oaidl.h>

#include <vector>

#include "automation/variant.h"

namespace kaptor::com {

// E_INVALIDARG when the arrays DISPPARAMS names are missing or the counts do not fit.
HRESULT checkDispParams(const DISPPARAMS& params);

// The arguments in calling order (DISPPARAMS holds them last first). Integers and booleans
// keep their kind, anything else becomes text; a value that has no text form fails with
// DISP_E_TYPEMISMATCH, a type no VARIANT holds with DISP_E_BADVARTYPE and a null reference
// with E_POINTER; argumentError names its position in DISPPARAMS.
HRESULT fromDispParams(const DISPPARAMS& params, std::vector<automation::Variant>& arguments,
                       UINT* argumentError);

// Fills result, whatever it held (it is the caller's memory, never freed here); E_OUTOFMEMORY
// when a text cannot be made.
HRESULT toVariant(const automation::Variant& value, VARIANT& result);

}  // namespace kaptor::com
