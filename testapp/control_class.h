// The capture control's class identifier, as the container window takes it.
#pragma once

namespace kaptor::kapshot {

inline constexpr wchar_t CONTROL_CLASS_TEXT[] = L"{00000000-0000-0000-0000-000000000000}";

}  // namespace kaptor::kapshot
