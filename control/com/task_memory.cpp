#include "control/com/task_memory.h"

#include <cstring>

namespace kaptor::com {

LPOLESTR taskMemoryCopy(const std::wstring& text) {
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    auto* copy = static_cast<LPOLESTR>(::CoTaskMemAlloc(bytes));
    if (copy != nullptr) {
        std::memcpy(copy, text.c_str(), bytes);
    }
    return copy;
}

}  // namespace kaptor::com
