// KAPSHOT.exe driven from outside, as a person at the screen would: the program started, its
// window found by caption and its buttons by text, pressed, and what Image1 shows read back
// pixel by pixel. The Windows suite and the installer's test (release_probe) both drive it so.
#pragma once

#include "tests/windows/com_support.h"

namespace kaptor::test {

// KAPSHOT.exe (by default the one beside the test program), started in its own folder.
inline Program startKapshot(
    const std::filesystem::path& program = besideTestProgram(L"KAPSHOT.exe")) {
    return Program(L"\"" + program.wstring() + L"\"", program.parent_path());
}

// Form1 and its elements: the buttons found by their text, the control's container window and
// Image1 by their classes.
struct Form1Windows {
    HWND form = nullptr;
    HWND control = nullptr;
    HWND adquiere = nullptr;
    HWND setPlaca = nullptr;
    HWND image = nullptr;
};
Form1Windows waitForForm1(DWORD threadId);

// Presses a button and, unless the press opens something modal, waits until its handler is
// done.
void press(HWND button);

// Starts program, presses "Adquiere" once Form1 shows and closes the form once picture is
// written. Empty on success, else what went wrong (with the text of any message box KAPSHOT
// showed).
std::string captureWithKapshot(const std::filesystem::path& program,
                               const std::filesystem::path& picture);

// The colours along one row of a window of KAPSHOT's, from its left edge, read inside KAPSHOT
// (a window's pixels live in the process that owns it) by the probe library hooked onto the
// window's thread for the call; empty when the probe is not in place or did not answer.
std::vector<COLORREF> shownRow(HWND window, int y, int width);

}  // namespace kaptor::test
