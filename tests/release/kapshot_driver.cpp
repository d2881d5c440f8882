#include "tests/release/kapshot_driver.h"

#include <windows.h>

#include <string>
#include <vector>

namespace kaptor::release {
namespace {

constexpr DWORD POLL_MS = 50;
constexpr DWORD FORM_WAIT_MS = 30000;
constexpr DWORD PICTURE_WAIT_MS = 30000;
constexpr DWORD EXIT_WAIT_MS = 15000;

struct WindowSearch {
    DWORD process = 0;
    const char* title = nullptr;
    const char* windowClass = nullptr;
    HWND found = nullptr;
};

BOOL CALLBACK matchTopLevel(HWND window, LPARAM context) {
    auto& search = *reinterpret_cast<WindowSearch*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char text[256] = "";
    if (owner != search.process) {
        return TRUE;
    }
    if (search.windowClass != nullptr) {
        GetClassNameA(window, text, sizeof text);
        if (lstrcmpA(text, search.windowClass) != 0) {
            return TRUE;
        }
    }
    if (search.title != nullptr) {
        GetWindowTextA(window, text, sizeof text);
        if (lstrcmpA(text, search.title) != 0) {
            return TRUE;
        }
    }
    search.found = window;
    return FALSE;
}

HWND topLevelWindow(DWORD process, const char* title, const char* windowClass) {
    WindowSearch search{process, title, windowClass, nullptr};
    EnumWindows(matchTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

BOOL CALLBACK collectText(HWND child, LPARAM context) {
    char text[512] = "";
    // A message box holds every button it could show; only the shown ones tell.
    if (IsWindowVisible(child) && GetWindowTextA(child, text, sizeof text) > 0) {
        auto& texts = *reinterpret_cast<std::string*>(context);
        texts += texts.empty() ? "" : " | ";
        texts += text;
    }
    return TRUE;
}

// The texts of a message box KAPSHOT shows, if it shows one.
std::string messageBoxText(DWORD process) {
    const HWND box = topLevelWindow(process, nullptr, "#32770");
    if (box == nullptr || !IsWindowVisible(box)) {
        return {};
    }
    char title[256] = "";
    GetWindowTextA(box, title, sizeof title);
    std::string texts = title;
    EnumChildWindows(box, collectText, reinterpret_cast<LPARAM>(&texts));
    return "KAPSHOT showed a message: " + texts;
}

BOOL CALLBACK matchButton(HWND child, LPARAM context) {
    char text[64] = "";
    GetWindowTextA(child, text, sizeof text);
    if (lstrcmpA(text, "Adquiere") == 0) {
        *reinterpret_cast<HWND*>(context) = child;
        return FALSE;
    }
    return TRUE;
}

bool fileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Waits until ready() holds or a message box of the process shows up; false on time out.
template <typename Ready>
bool waitFor(DWORD process, DWORD limitMs, std::string& failure, Ready ready) {
    for (DWORD waited = 0; waited < limitMs; waited += POLL_MS) {
        if (ready()) {
            return true;
        }
        failure = messageBoxText(process);
        if (!failure.empty()) {
            return false;
        }
        Sleep(POLL_MS);
    }
    return false;
}

class Process {
  public:
    explicit Process(const std::string& program) {
        std::string folder = program.substr(0, program.find_last_of("\\/"));
        std::vector<char> commandLine(program.size() + 3);
        wsprintfA(commandLine.data(), "\"%s\"", program.c_str());
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        started_ = CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                                  nullptr, folder.c_str(), &startup, &info_) != 0;
    }
    ~Process() {
        if (started_) {
            if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
                TerminateProcess(info_.hProcess, 1);
            }
            CloseHandle(info_.hThread);
            CloseHandle(info_.hProcess);
        }
    }
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    bool started() const { return started_; }
    DWORD id() const { return info_.dwProcessId; }
    bool waitForExit(DWORD& status) const {
        return WaitForSingleObject(info_.hProcess, EXIT_WAIT_MS) == WAIT_OBJECT_0 &&
               GetExitCodeProcess(info_.hProcess, &status) != 0;
    }

  private:
    PROCESS_INFORMATION info_{};
    bool started_ = false;
};

}  // namespace

std::string captureWithKapshot(const std::string& program, const std::string& picture) {
    const Process kapshot(program);
    if (!kapshot.started()) {
        return "cannot start " + program;
    }
    std::string failure;
    HWND form = nullptr;
    if (!waitFor(kapshot.id(), FORM_WAIT_MS, failure, [&] {
            form = topLevelWindow(kapshot.id(), "Form1", nullptr);
            return form != nullptr && IsWindowVisible(form);
        })) {
        return failure.empty() ? "no Form1 window appeared" : failure;
    }
    HWND adquiere = nullptr;
    EnumChildWindows(form, matchButton, reinterpret_cast<LPARAM>(&adquiere));
    if (adquiere == nullptr) {
        return "Form1 has no \"Adquiere\" button";
    }
    // Not SendMessage: a message box opened by the click would block this call.
    SendNotifyMessageA(adquiere, BM_CLICK, 0, 0);
    if (!waitFor(kapshot.id(), PICTURE_WAIT_MS, failure, [&] { return fileExists(picture); })) {
        return failure.empty() ? "no picture " + picture : failure;
    }
    // The click handled to its end (the picture shown, or a message about it).
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(form, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, PICTURE_WAIT_MS, &ignored);
    failure = messageBoxText(kapshot.id());
    if (!failure.empty()) {
        return failure;
    }
    PostMessageA(form, WM_CLOSE, 0, 0);
    DWORD status = 0;
    if (!kapshot.waitForExit(status)) {
        return "KAPSHOT did not end after WM_CLOSE";
    }
    if (status != 0) {
        return "KAPSHOT ended with status " + std::to_string(status);
    }
    return {};
}

}  // namespace kaptor::release
