// What the test driver and the probe inside KAPSHOT share. Window contents live in the process
// that owns the window, so Image1's pixels are read inside KAPSHOT: the probe library is loaded
// there as a message hook on its window thread, reads one row of the window that a posted
// READ_ROW_MESSAGE names, puts the colours in a named shared block and signals an event.
#pragma once

#include <windows.h>

namespace kaptor::test::probe {

constexpr wchar_t READ_ROW_MESSAGE[] = L"KaptorKapshotProbeReadRow";
constexpr wchar_t SHARED_BLOCK[] = L"Local\\KaptorKapshotProbeRow";
constexpr wchar_t DONE_EVENT[] = L"Local\\KaptorKapshotProbeDone";
constexpr char HOOK_EXPORT[] = "kapshotProbeHook";
constexpr int MAX_ROW_PIXELS = 4096;

// The shared block: the row's colours, as GetPixel gives them.
struct Row {
    LONG count;
    COLORREF colours[MAX_ROW_PIXELS];
};

}  // namespace kaptor::test::probe
