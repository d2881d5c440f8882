#include "tests/windows/kapshot_driver.h"

#include <cstring>

#include "tests/windows/com_support.h"
#include "tests/windows/kapshot_probe.h"

namespace kaptor::test {
namespace {

constexpr int BMP_HEADER_BYTES = 1078;
constexpr int PALETTE_OFFSET = 54;

std::string textOf(HWND window) {
    char text[1024] = {};
    ::GetWindowTextA(window, text, sizeof text);
    return text;
}

std::string classOf(HWND window) {
    char name[128] = {};
    ::GetClassNameA(window, name, sizeof name);
    return name;
}

struct Search {
    std::string text;
    std::string className;
    bool visibleOnly = false;
    HWND found = nullptr;
};

BOOL CALLBACK match(HWND window, LPARAM parameter) {
    auto& search = *reinterpret_cast<Search*>(parameter);
    if ((search.className.empty() || classOf(window) == search.className) &&
        (search.text.empty() || textOf(window) == search.text) &&
        (!search.visibleOnly || ::IsWindowVisible(window))) {
        search.found = window;
        return FALSE;
    }
    return TRUE;
}

HWND waitForThreadWindow(DWORD threadId, Search search, int timeoutMs) {
    for (int waited = 0;; waited += 20) {
        search.found = nullptr;
        ::EnumThreadWindows(threadId, match, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr) {
            waitUntilIdle(search.found);
            return search.found;
        }
        if (waited >= timeoutMs) {
            return nullptr;
        }
        ::Sleep(20);
    }
}

std::int32_t little32(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    std::int32_t value = 0;
    std::memcpy(&value, bytes.data() + at, sizeof value);
    return value;
}

}  // namespace

KapshotProcess::KapshotProcess() {
    const std::wstring program = besideTestProgram(L"KAPSHOT.exe").wstring();
    std::wstring commandLine = L"\"" + program + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (!::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          nullptr, &startup, &info_)) {
        info_ = {};
    }
}

KapshotProcess::~KapshotProcess() {
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

std::optional<DWORD> KapshotProcess::waitForExit(int timeoutMs) {
    if (!started() ||
        ::WaitForSingleObject(info_.hProcess, static_cast<DWORD>(timeoutMs)) != WAIT_OBJECT_0) {
        return std::nullopt;
    }
    DWORD status = 0;
    ::GetExitCodeProcess(info_.hProcess, &status);
    return status;
}

HWND waitForForm(DWORD threadId, int timeoutMs) {
    return waitForThreadWindow(threadId, {"Form1", "", true}, timeoutMs);
}

Form1Windows waitForForm1(DWORD threadId) {
    Form1Windows windows;
    windows.form = waitForForm(threadId);
    if (windows.form != nullptr) {
        windows.control = childOfClass(windows.form, "AtlAxWin");
        windows.adquiere = childWithText(windows.form, "Adquiere");
        windows.setPlaca = childWithText(windows.form, "Set Placa");
        windows.image = childOfClass(windows.form, "KapshotImageBox");
    }
    return windows;
}

HWND waitForBox(DWORD threadId, const std::string& title, int timeoutMs) {
    return waitForThreadWindow(threadId, {title, "#32770", true}, timeoutMs);
}

std::string boxText(HWND box) {
    return textOf(::GetDlgItem(box, 0xFFFF));
}

HWND childWithText(HWND parent, const std::string& text) {
    Search search{text, "", false};
    ::EnumChildWindows(parent, match, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND childOfClass(HWND parent, const std::string& className) {
    Search search{"", className, false};
    ::EnumChildWindows(parent, match, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

RECT placeInParent(HWND child) {
    RECT place;
    ::GetWindowRect(child, &place);
    ::MapWindowPoints(HWND_DESKTOP, ::GetParent(child), reinterpret_cast<POINT*>(&place), 2);
    return place;
}

void waitUntilIdle(HWND window) {
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_BLOCK, 30000, &ignored);
}

void press(HWND button) {
    // Sent without waiting: a click that opens a message box would otherwise never return.
    ::SendNotifyMessageW(button, BM_CLICK, 0, 0);
    waitUntilIdle(button);
}

std::uint8_t Picture::level(int x, int row) const {
    const int stride = (width + 3) & ~3;
    const int fileRow = height - 1 - row;  // the file stores the bottom line first
    return file[static_cast<std::size_t>(BMP_HEADER_BYTES + fileRow * stride + x)];
}

COLORREF Picture::colour(int x, int row) const {
    const std::uint8_t* entry = file.data() + PALETTE_OFFSET + 4 * level(x, row);
    return RGB(entry[2], entry[1], entry[0]);
}

std::optional<Picture> readPicture(const std::filesystem::path& path) {
    Picture picture;
    std::error_code error;
    if (!std::filesystem::exists(path, error)) {
        return std::nullopt;
    }
    picture.file = readBytes(path);
    if (picture.file.size() < BMP_HEADER_BYTES || picture.file[0] != 'B' ||
        picture.file[1] != 'M') {
        return std::nullopt;
    }
    picture.width = little32(picture.file, 18);
    picture.height = little32(picture.file, 22);
    const auto stride = static_cast<std::size_t>((picture.width + 3) & ~3);
    if (picture.width <= 0 || picture.height <= 0 ||
        picture.file.size() <
            BMP_HEADER_BYTES + stride * static_cast<std::size_t>(picture.height)) {
        return std::nullopt;
    }
    return picture;
}

ShownPixels::ShownPixels(DWORD threadId) {
    block_ = ::CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                  sizeof(probe::Row), probe::SHARED_BLOCK);
    done_ = ::CreateEventW(nullptr, FALSE, FALSE, probe::DONE_EVENT);
    if (block_ != nullptr) {
        shared_ = ::MapViewOfFile(block_, FILE_MAP_READ, 0, 0, sizeof(probe::Row));
    }
    probe_ = ::LoadLibraryW(besideTestProgram(L"kapshot_probe.dll").c_str());
    const auto hook = reinterpret_cast<HOOKPROC>(
        reinterpret_cast<void (*)()>(::GetProcAddress(probe_, probe::HOOK_EXPORT)));
    if (hook != nullptr) {
        hook_ = ::SetWindowsHookExW(WH_GETMESSAGE, hook, probe_, threadId);
    }
}

ShownPixels::~ShownPixels() {
    if (hook_ != nullptr) {
        ::UnhookWindowsHookEx(hook_);
    }
    if (probe_ != nullptr) {
        ::FreeLibrary(probe_);
    }
    if (shared_ != nullptr) {
        ::UnmapViewOfFile(shared_);
    }
    for (HANDLE handle : {block_, done_}) {
        if (handle != nullptr) {
            ::CloseHandle(handle);
        }
    }
}

std::vector<COLORREF> ShownPixels::row(HWND window, int y, int width) {
    static const UINT readRow = ::RegisterWindowMessageW(probe::READ_ROW_MESSAGE);
    if (!ready() || !::PostMessageW(window, readRow, static_cast<WPARAM>(y), width) ||
        ::WaitForSingleObject(done_, 10000) != WAIT_OBJECT_0) {
        return {};
    }
    const auto* shared = static_cast<const probe::Row*>(shared_);
    return std::vector<COLORREF>(shared->colours, shared->colours + shared->count);
}

}  // namespace kaptor::test
