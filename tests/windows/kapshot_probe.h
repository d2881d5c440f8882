// What the test driver and the probe inside KAPSHOT share. Window contents live in the process
// that owns the window, so Image1's pixels are read inside KAPSHOT: the probe library is loaded
// there as a hook on the calls of its window thread's window procedures, reads one row of the
// window a READ_ROW_MESSAGE is sent to (wParam: the row; lParam: how many pixels) and leaves the
// colours as properties of that window, which the driver reads from outside once the sent
// message returns.
#pragma once

#include <windows.h>

#include <cstdint>

namespace kaptor::test::probe {

constexpr wchar_t READ_ROW_MESSAGE[] = L"KaptorKapshotProbeReadRow";
constexpr char HOOK_EXPORT[] = "kapshotProbeHook";

// The colour of pixel x of the row, as GetPixel gives it, in the property named by the integer
// atom 0x100 + x (numbers below 0xC000 stand in a name's place).
inline const wchar_t* pixelProperty(int x) {
    return reinterpret_cast<const wchar_t*>(static_cast<std::uintptr_t>(0x100 + x));
}

}  // namespace kaptor::test::probe
