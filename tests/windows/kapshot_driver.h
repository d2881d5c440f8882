// KAPSHOT.exe driven from outside, as a person at the screen would: the program started on
// drives of the test's own, its window found by caption and its buttons by text, pressed, and
// what Image1 shows read back pixel by pixel.
#pragma once

#include "tests/support/temp_dir.h"

#include <windows.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace kaptor::test {

// A started KAPSHOT.exe (beside the test program); ended when still running at destruction.
class KapshotProcess {
  public:
    KapshotProcess();
    ~KapshotProcess();
    KapshotProcess(const KapshotProcess&) = delete;
    KapshotProcess& operator=(const KapshotProcess&) = delete;

    bool started() const { return info_.hProcess != nullptr; }
    DWORD threadId() const { return info_.dwThreadId; }
    // The exit status, or nothing when the program still runs after timeoutMs.
    std::optional<DWORD> waitForExit(int timeoutMs);

  private:
    PROCESS_INFORMATION info_{};
};

// The program's visible top-level window captioned "Form1", waited for up to timeoutMs.
HWND waitForForm(DWORD threadId, int timeoutMs = 20000);
HWND childWithText(HWND parent, const std::string& text);

// Form1 and its elements: the buttons found by their text, the control's container window and
// Image1 by their classes.
struct Form1Windows {
    HWND form = nullptr;
    HWND control = nullptr;
    HWND adquiere = nullptr;
    HWND setPlaca = nullptr;
    HWND image = nullptr;
    bool complete() const { return form && control && adquiere && setPlaca && image; }
};
Form1Windows waitForForm1(DWORD threadId);
HWND childOfClass(HWND parent, const std::string& className);
// A child's place in its parent's client area.
RECT placeInParent(HWND child);

// Presses a button and, unless the press opens something modal, waits until its handler is
// done (a round trip through the program's message queue).
void press(HWND button);
void waitUntilIdle(HWND window);

// The first #32770 window of the thread, visible and captioned title (any when empty), and its
// message text (the static control of a message box).
HWND waitForBox(DWORD threadId, const std::string& title = "", int timeoutMs = 20000);
std::string boxText(HWND box);

// An 8-bit BMP as the control writes it: rows counted from the top of the picture.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> file;
    std::uint8_t level(int x, int row) const;
    COLORREF colour(int x, int row) const;  // through the file's palette
};
std::optional<Picture> readPicture(const std::filesystem::path& path);

// What the windows of KAPSHOT's thread show, read back inside KAPSHOT (a window's pixels live
// in the process that owns it) through the probe library hooked onto that thread.
class ShownPixels {
  public:
    explicit ShownPixels(DWORD threadId);
    ~ShownPixels();
    ShownPixels(const ShownPixels&) = delete;
    ShownPixels& operator=(const ShownPixels&) = delete;

    bool ready() const { return hook_ != nullptr && shared_ != nullptr; }
    // The colours along one row of window, from its left edge; empty when the probe did not
    // answer.
    std::vector<COLORREF> row(HWND window, int y, int width);

  private:
    HMODULE probe_ = nullptr;
    HHOOK hook_ = nullptr;
    HANDLE block_ = nullptr;
    HANDLE done_ = nullptr;
    void* shared_ = nullptr;
};

}  // namespace kaptor::test
