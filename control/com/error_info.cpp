#include "control/com/error_info.h"

#include <oleauto.h>
#include <wrl/client.h>

#include <string>

namespace kaptor::com {
namespace {

const wchar_t* wide(const std::u16string& text) {
    return reinterpret_cast<const wchar_t*>(text.c_str());
}

}  // namespace

HRESULT failureCode(const std::error_code& error) {
    if (error && error.category() == std::system_category()) {
        return HRESULT_FROM_WIN32(static_cast<DWORD>(error.value()));
    }
    return E_FAIL;
}

void reportFailure(const automation::ExceptionInfo& failure, REFIID iid, EXCEPINFO* exception) {
    const std::u16string source =
        failure.source.empty() ? u"KAPTORAX" : u"KAPTORAX." + failure.source;
    const HRESULT code = failureCode(failure.error);
    if (exception != nullptr) {
        *exception = EXCEPINFO{};
        exception->bstrSource = ::SysAllocString(wide(source));
        exception->bstrDescription = ::SysAllocString(wide(failure.description));
        exception->scode = code;
    }
    Microsoft::WRL::ComPtr<ICreateErrorInfo> created;
    Microsoft::WRL::ComPtr<IErrorInfo> info;
    if (SUCCEEDED(::CreateErrorInfo(created.GetAddressOf())) && SUCCEEDED(created.As(&info))) {
        created->SetGUID(iid);
        created->SetSource(const_cast<LPOLESTR>(wide(source)));
        created->SetDescription(const_cast<LPOLESTR>(wide(failure.description)));
        ::SetErrorInfo(0, info.Get());
    }
}

}  // namespace kaptor::com
