// What the test driver and the probe inside KAPSHOT share. Window contents live in the process
// that owns the window, so Image1's pixels are read inside KAPSHOT: the probe library is loaded
// there as a message hook on its window thread, reads one row of the window that a posted
// READ_ROW_MESSAGE names (wParam: the row; lParam: how many pixels, and the request's number)
// and leaves the colours as properties of that window, which the driver reads from outside.
#pragma once

#include <windows.h>

#include <cstdint>

namespace kaptor::test::probe {

constexpr wchar_t READ_ROW_MESSAGE[] = L"KaptorKapshotProbeReadRow";
constexpr char HOOK_EXPORT[] = "kapshotProbeHook";

// The properties, named by integer atoms (numbers below 0xC000 in a name's place): the number of
// the last request answered, then the colour of each pixel of its row, as GetPixel gives it.
inline const wchar_t* propertyNumber(int number) {
    return reinterpret_cast<const wchar_t*>(static_cast<std::uintptr_t>(number));
}
inline const wchar_t* answeredProperty() {
    return propertyNumber(0x100);
}
inline const wchar_t* pixelProperty(int x) {
    return propertyNumber(0x101 + x);
}

}  // namespace kaptor::test::probe
