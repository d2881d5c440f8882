// The values that cross a dispatch interface: empty, text (owned UTF-16), 32-bit integer,
// boolean.
#pragma once

#include <cstdint>
#include <string>
#include <variant>

namespace kaptor::automation {

using Bstr = std::u16string;
using Variant = std::variant<std::monostate, Bstr, std::int32_t, bool>;

// The text a host shows for a value.
std::u16string variantToText(const Variant& value);

}  // namespace kaptor::automation
