#include "tests/windows/com_support.h"

#include <cstdlib>
#include <fstream>
#include <stop_token>
#include <thread>

namespace kaptor::test {

std::filesystem::path besideTestProgram(const wchar_t* name) {
    wchar_t program[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, program, MAX_PATH);
    return std::filesystem::path(program).parent_path() / name;
}

std::filesystem::path modulePath() {
    return besideTestProgram(L"KAPTORAX.ocx");
}

HRESULT callModuleExport(const std::filesystem::path& path, const char* name) {
    HMODULE module = ::LoadLibraryW(path.c_str());
    if (module == nullptr) {
        return HRESULT_FROM_WIN32(::GetLastError());
    }
    using Export = HRESULT(STDAPICALLTYPE*)();
    const auto function =
        reinterpret_cast<Export>(reinterpret_cast<void (*)()>(::GetProcAddress(module, name)));
    const HRESULT hr = function != nullptr ? function() : E_NOTIMPL;
    ::FreeLibrary(module);
    return hr;
}

Program::Program(std::wstring commandLine, const std::filesystem::path& folder) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          folder.empty() ? nullptr : folder.c_str(), &startup, &info_)) {
        info_ = {};
    }
}

Program::~Program() {
    if (!started()) {
        return;
    }
    if (::WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
        ::TerminateProcess(info_.hProcess, 99);
        ::WaitForSingleObject(info_.hProcess, 5000);
    }
    ::CloseHandle(info_.hThread);
    ::CloseHandle(info_.hProcess);
}

std::optional<DWORD> Program::waitForExit(int timeoutMs) {
    if (!started() ||
        ::WaitForSingleObject(info_.hProcess, static_cast<DWORD>(timeoutMs)) != WAIT_OBJECT_0) {
        return std::nullopt;
    }
    DWORD status = 0;
    ::GetExitCodeProcess(info_.hProcess, &status);
    return status;
}

std::vector<std::uint8_t> replayFrame() {
    std::vector<std::uint8_t> bytes(640 * 496);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<std::uint8_t>(i * 7 + i / 640 * 3);
    }
    return bytes;
}

HRESULT putText(IDispatch& control, DISPID id, const std::wstring& value) {
    VARIANT argument{};
    V_VT(&argument) = VT_BSTR;
    V_BSTR(&argument) = ::SysAllocStringLen(value.data(), static_cast<UINT>(value.size()));
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params{&argument, &named, 1, 1};
    const HRESULT hr =
        control.Invoke(id, IID_NULL, 0, DISPATCH_PROPERTYPUT, &params, nullptr, nullptr, nullptr);
    ::VariantClear(&argument);
    return hr;
}

std::wstring getText(IDispatch& control, DISPID id) {
    VARIANT result{};
    DISPPARAMS none{};
    const HRESULT hr =
        control.Invoke(id, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &result, nullptr, nullptr);
    std::wstring text = L"failed with " + std::to_wstring(hr);
    if (SUCCEEDED(hr) && V_VT(&result) == VT_BSTR) {
        text.assign(V_BSTR(&result), ::SysStringLen(V_BSTR(&result)));
    }
    ::VariantClear(&result);
    return text;
}

HRESULT callMethod(IDispatch& control, DISPID id) {
    DISPPARAMS none{};
    return control.Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr);
}

std::string windowText(HWND window) {
    char text[1024] = {};
    ::GetWindowTextA(window, text, sizeof text);
    return text;
}

namespace {

std::string className(HWND window) {
    char name[128] = {};
    ::GetClassNameA(window, name, sizeof name);
    return name;
}

struct Search {
    std::string title;
    std::string className;
    bool visibleOnly = true;
    HWND found = nullptr;
};

BOOL CALLBACK match(HWND window, LPARAM parameter) {
    auto& search = *reinterpret_cast<Search*>(parameter);
    if ((search.className.empty() || className(window) == search.className) &&
        (search.title.empty() || windowText(window) == search.title) &&
        (!search.visibleOnly || ::IsWindowVisible(window))) {
        search.found = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK collectChild(HWND window, LPARAM parameter) {
    reinterpret_cast<std::vector<HWND>*>(parameter)->push_back(window);
    return TRUE;
}

}  // namespace

HWND findWindow(DWORD threadId, const std::string& title, const std::string& windowClass) {
    Search search{title, windowClass};
    ::EnumThreadWindows(threadId, match, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND waitForWindow(DWORD threadId, const std::string& title, const std::string& windowClass,
                   int timeoutMs) {
    for (int waited = 0;; waited += 20) {
        if (HWND window = findWindow(threadId, title, windowClass)) {
            // Let the window finish painting before anyone looks at it.
            waitUntilIdle(window);
            return window;
        }
        if (waited >= timeoutMs) {
            return nullptr;
        }
        ::Sleep(20);
    }
}

HWND childWith(HWND parent, const std::string& text, const std::string& windowClass) {
    Search search{text, windowClass, false};
    ::EnumChildWindows(parent, match, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string boxText(HWND box) {
    // A message box's text is its static control with id 0xFFFF.
    return windowText(::GetDlgItem(box, 0xFFFF));
}

void waitUntilIdle(HWND window) {
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_BLOCK, 30000, &ignored);
}

std::vector<std::string> childTexts(HWND window) {
    std::vector<HWND> children;
    ::EnumChildWindows(window, collectChild, reinterpret_cast<LPARAM>(&children));
    std::vector<std::string> texts;
    for (HWND child : children) {
        texts.push_back(windowText(child));
    }
    return texts;
}

void clickButton(HWND dialog, int id) {
    ::SendNotifyMessageW(::GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

std::vector<SeenBox> answeringBoxes(const std::function<void()>& call,
                                    const std::function<void()>& onFirstBox, int button) {
    std::vector<SeenBox> seen;
    const auto answer = [&seen, &onFirstBox, button,
                         thread = ::GetCurrentThreadId()](const std::stop_token& stop) {
        while (!stop.stop_requested()) {
            if (HWND box = findWindow(thread, "")) {
                seen.push_back({windowText(box), boxText(box)});
                if (onFirstBox && seen.size() == 1) {
                    onFirstBox();
                }
                for (const int id : {button, IDOK, IDYES, IDCANCEL}) {
                    if (id != 0 && ::GetDlgItem(box, id) != nullptr) {
                        clickButton(box, id);
                        break;
                    }
                }
                for (int waited = 0; ::IsWindow(box) && waited < 5000; waited += 10) {
                    ::Sleep(10);
                }
            }
            ::Sleep(10);
        }
    };
    {
        // Stopped and joined before seen is read.
        const std::jthread watcher(answer);
        call();
    }
    return seen;
}

void saveScreenshot(HWND window, const std::string& name) {
    const char* folder = std::getenv("KAPTOR_SCREENSHOTS");
    if (folder == nullptr || *folder == '\0') {
        return;
    }
    // The window and its controls painted now, on their own thread, before the screen is read:
    // otherwise the picture may catch controls that have not painted yet.
    ::RedrawWindow(window, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    waitUntilIdle(window);
    RECT area;
    ::GetWindowRect(window, &area);
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    const DWORD imageBytes = static_cast<DWORD>((width * 3 + 3) & ~3) * static_cast<DWORD>(height);
    BITMAPINFO info{
        {sizeof(BITMAPINFOHEADER), width, height, 1, 24, BI_RGB, imageBytes, 0, 0, 0, 0}, {}};
    constexpr DWORD HEADERS = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    const BITMAPFILEHEADER file{0x4D42, HEADERS + imageBytes, 0, 0, HEADERS};
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    void* bits = nullptr;
    HBITMAP picture = ::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = ::SelectObject(memory, picture);
    ::BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
    ::GdiFlush();
    std::ofstream out(std::filesystem::path(folder) / (name + ".bmp"), std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(reinterpret_cast<const char*>(&info.bmiHeader), sizeof info.bmiHeader);
    out.write(static_cast<const char*>(bits), imageBytes);
    ::SelectObject(memory, previous);
    ::DeleteObject(picture);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
}

}  // namespace kaptor::test
