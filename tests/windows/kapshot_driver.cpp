#include "tests/windows/kapshot_driver.h"

#include <cstdint>
#include <memory>
#include <type_traits>

#include "tests/windows/kapshot_probe.h"

namespace kaptor::test {

Form1Windows waitForForm1(DWORD threadId) {
    const HWND form = waitForWindow(threadId, "Form1", "");
    if (form == nullptr) {
        return {};
    }
    return {form, childWith(form, "", "AtlAxWin"), childWith(form, "Adquiere"),
            childWith(form, "Set Placa"), childWith(form, "", "KapshotImageBox")};
}

void press(HWND button) {
    // Sent without waiting: a click that opens a message box would otherwise never return.
    ::SendNotifyMessageW(button, BM_CLICK, 0, 0);
    waitUntilIdle(button);
}

std::string captureWithKapshot(const std::filesystem::path& program,
                               const std::filesystem::path& picture) {
    Program kapshot = startKapshot(program);
    const Form1Windows form1 = waitForForm1(kapshot.threadId());
    // The click handled to its end: the picture written and shown, or a message about it (no
    // button, no click).
    press(form1.adquiere);
    // A message box of KAPSHOT's says why it went no further.
    if (const HWND box = findWindow(kapshot.threadId(), "")) {
        return "KAPSHOT showed a message: " + windowText(box) + ": " + boxText(box);
    }
    if (form1.adquiere == nullptr || !std::filesystem::exists(picture)) {
        return "no Form1 with an \"Adquiere\" button, or no picture " + picture.string();
    }
    ::PostMessageW(form1.form, WM_CLOSE, 0, 0);
    return kapshot.waitForExit(15000) == 0 ? "" : "KAPSHOT did not end with status 0 on WM_CLOSE";
}

std::vector<COLORREF> shownRow(HWND window, int y, int width) {
    static const UINT readRow = ::RegisterWindowMessageW(probe::READ_ROW_MESSAGE);
    const std::unique_ptr<std::remove_pointer_t<HMODULE>, decltype(&::FreeLibrary)> library(
        ::LoadLibraryW(besideTestProgram(L"kapshot_probe.dll").c_str()), ::FreeLibrary);
    const auto hook = reinterpret_cast<HOOKPROC>(
        reinterpret_cast<void (*)()>(::GetProcAddress(library.get(), probe::HOOK_EXPORT)));
    // Unhooked before the library that holds the hook is freed.
    const std::unique_ptr<std::remove_pointer_t<HHOOK>, decltype(&::UnhookWindowsHookEx)> hooked(
        hook == nullptr ? nullptr
                        : ::SetWindowsHookExW(WH_CALLWNDPROC, hook, library.get(),
                                              ::GetWindowThreadProcessId(window, nullptr)),
        ::UnhookWindowsHookEx);
    DWORD_PTR ignored = 0;
    if (!hooked ||
        !::SendMessageTimeoutW(window, readRow, static_cast<WPARAM>(y), static_cast<LPARAM>(width),
                               SMTO_BLOCK, 10000, &ignored)) {
        return {};
    }
    std::vector<COLORREF> colours;
    for (int x = 0; x < width; ++x) {
        colours.push_back(static_cast<COLORREF>(
            reinterpret_cast<std::uintptr_t>(::GetPropW(window, probe::pixelProperty(x)))));
    }
    return colours;
}

}  // namespace kaptor::test
