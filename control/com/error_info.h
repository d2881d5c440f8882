// A member's failure as an automation caller receives it: the EXCEPINFO of Invoke and the
// thread's error object that hosts read through GetErrorInfo carry the same source, text and
// code.
#pragma once

// The portable headers come before the Windows headers: some of their constants share names
// with Windows macros.
#include "automation/dispatch.h"

#include <oaidl.h>

#include <system_error>

namespace kaptor::com {

// The code a caller sees: the system's error as an HRESULT where there is one, else E_FAIL.
HRESULT failureCode(const std::error_code& error);

// Fills exception (when given) and sets the thread's error object for the interface iid.
void reportFailure(const automation::ExceptionInfo& failure, REFIID iid, EXCEPINFO* exception);

}  // namespace kaptor::com
