// KAPSHOT.exe driven from outside, as a person at the screen would: the program started, its
// window found by caption and its buttons by text, pressed, and what Image1 shows read back
// pixel by pixel. The Windows suite and the installer's test (release_probe) both drive it so.
#pragma once

#include "tests/windows/com_support.h"

#include <memory>
#include <type_traits>

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

// What the windows of KAPSHOT's thread show, read back inside KAPSHOT (a window's pixels live
// in the process that owns it) through the probe library hooked onto that thread.
class ShownPixels {
  public:
    explicit ShownPixels(DWORD threadId);
    // The colours along one row of window, from its left edge; empty when the probe is not in
    // place or did not answer.
    std::vector<COLORREF> row(HWND window, int y, int width);

  private:
    // The hook goes before the library that holds it.
    std::unique_ptr<std::remove_pointer_t<HMODULE>, decltype(&::FreeLibrary)> probe_;
    std::unique_ptr<std::remove_pointer_t<HHOOK>, decltype(&::UnhookWindowsHookEx)> hook_;
};

}  // namespace kaptor::test
