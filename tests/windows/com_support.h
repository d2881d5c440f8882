// What the module's tests under Wine share: the module beside the test program, its
// registration, an apartment, the control created by class id and driven by dispatch id, and a
// watcher that answers the message boxes the control shows on this thread.
#pragma once

// The portable headers come before the Windows headers: some of their constants share names
// with Windows macros.
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>
#include <ocidl.h>
#include <olectl.h>
#include <windows.h>
#include <wrl/client.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "control/com/identifiers.h"

namespace kaptor::test {

using Microsoft::WRL::ComPtr;

// A file that lies beside the test program (the module, Ftd2xx.dll).
std::filesystem::path besideTestProgram(const wchar_t* name);
std::filesystem::path modulePath();

// Calls an export of the module at path (DllRegisterServer, DllUnregisterServer, ...).
HRESULT callModuleExport(const std::filesystem::path& path, const char* name);

// A frame of 640 x 496 bytes that tells every pixel's position apart.
std::vector<std::uint8_t> replayFrame();

// A started program (in folder, when one is given); ended when still running at destruction.
class Program {
  public:
    explicit Program(std::wstring commandLine, const std::filesystem::path& folder = {});
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    bool started() const { return info_.hProcess != nullptr; }
    DWORD threadId() const { return info_.dwThreadId; }
    // The exit status, or nothing when the program still runs after timeoutMs.
    std::optional<DWORD> waitForExit(int timeoutMs);

  private:
    PROCESS_INFORMATION info_{};
};

// A single-threaded apartment for the test's thread.
struct Apartment {
    Apartment() { ::OleInitialize(nullptr); }
    ~Apartment() { ::OleUninitialize(); }
};

// The module registered, an apartment, and a control created by class id.
class ComTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(callModuleExport(modulePath(), "DllRegisterServer"), S_OK);
        ASSERT_EQ(
            ::CoCreateInstance(com::CLSID_KAPTORAX, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                               reinterpret_cast<void**>(control.GetAddressOf())),
            S_OK);
    }

    Apartment apartment;
    ComPtr<IDispatch> control;
};

// Invoke by dispatch id alone. A property's text, or the code its get failed with.
HRESULT putText(IDispatch& control, DISPID id, const std::wstring& value);
std::wstring getText(IDispatch& control, DISPID id);
HRESULT callMethod(IDispatch& control, DISPID id);

// A message box the watcher closed: its caption and text.
struct SeenBox {
    std::string caption;
    std::string text;
};

// Runs call on this thread while another thread closes every message box shown on it with
// button, or else with the box's first button (OK, Yes or Retry); onFirstBox runs on that thread
// before the first box closes. What the boxes said, in order.
std::vector<SeenBox> answeringBoxes(const std::function<void()>& call,
                                    const std::function<void()>& onFirstBox = {}, int button = 0);

// Windows as a person finds them: texts, the visible top-level window of a thread with this
// caption and class (a dialog or message box unless told; either one any when empty), waited for
// up to timeoutMs; a child by text or class; a message box's text.
std::string windowText(HWND window);
HWND findWindow(DWORD threadId, const std::string& title,
                const std::string& windowClass = "#32770");
HWND waitForWindow(DWORD threadId, const std::string& title,
                   const std::string& windowClass = "#32770", int timeoutMs = 20000);
HWND childWith(HWND parent, const std::string& text, const std::string& windowClass = "");
std::string boxText(HWND box);
// The texts of a window's children, in order.
std::vector<std::string> childTexts(HWND window);
// Clicks a button without waiting for what the click starts.
void clickButton(HWND dialog, int id);
// Waits until the window's thread has handled everything sent before (a round trip).
void waitUntilIdle(HWND window);

// Saves what the screen shows of window as a 24-bit BMP when KAPTOR_SCREENSHOTS names a folder
// (screenshots are for a person; the null graphics driver has nothing to show).
void saveScreenshot(HWND window, const std::string& name);

}  // namespace kaptor::test
