// VARIANT and BSTR at the dispatch boundary, with the usual ownership: the caller owns what it
// passes, and what a property get returns belongs to the caller from then on.
#pragma once

#include <oaidl.h>

#include <vector>

#include "automation/variant.h"

namespace kaptor::com {

// The arguments in calling order (DISPPARAMS holds them last first). Integers and booleans
// keep their kind, anything else becomes text; a value that has no text form fails with
// DISP_E_TYPEMISMATCH and argumentError names its position in DISPPARAMS.
HRESULT fromDispParams(const DISPPARAMS& params, std::vector<automation::Variant>& arguments,
                       UINT* argumentError);

// Fills result, which the caller has initialised; E_OUTOFMEMORY when a text cannot be made.
HRESULT toVariant(const automation::Variant& value, VARIANT& result);

}  // namespace kaptor::com
