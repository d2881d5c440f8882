#include "tests/windows/kapshot_driver.h"

#include "host/picture_formats.h"
#include "tests/windows/kapshot_probe.h"

namespace kaptor::test {

Form1Windows waitForForm1(DWORD threadId) {
    Form1Windows windows;
    windows.form = waitForWindow(threadId, "Form1", "");
    if (windows.form != nullptr) {
        windows.control = childWith(windows.form, "", "AtlAxWin");
        windows.adquiere = childWith(windows.form, "Adquiere");
        windows.setPlaca = childWith(windows.form, "Set Placa");
        windows.image = childWith(windows.form, "", "KapshotImageBox");
    }
    return windows;
}

RECT placeInParent(HWND child) {
    RECT place;
    ::GetWindowRect(child, &place);
    ::MapWindowPoints(HWND_DESKTOP, ::GetParent(child), reinterpret_cast<POINT*>(&place), 2);
    return place;
}

void press(HWND button) {
    // Sent without waiting: a click that opens a message box would otherwise never return.
    ::SendNotifyMessageW(button, BM_CLICK, 0, 0);
    waitUntilIdle(button);
}

namespace {

// The message box KAPSHOT shows, if it shows one.
std::string shownMessage(DWORD threadId) {
    const HWND box = findDialog(threadId, "");
    return box ? "KAPSHOT showed a message: " + windowText(box) + ": " + boxText(box) : "";
}

// Polls until ready() holds; a message box of KAPSHOT's first ends the wait with its text.
template <typename Ready>
std::string waitOrBox(DWORD threadId, const std::string& missing, Ready ready) {
    for (int waited = 0; waited < 30000; waited += 50) {
        if (ready()) {
            return {};
        }
        if (std::string message = shownMessage(threadId); !message.empty()) {
            return message;
        }
        ::Sleep(50);
    }
    return missing;
}

}  // namespace

std::string captureWithKapshot(const std::filesystem::path& program,
                               const std::filesystem::path& picture) {
    KapshotProcess kapshot(program);
    if (!kapshot.started()) {
        return "cannot start " + program.string();
    }
    HWND form = nullptr;
    std::string failure = waitOrBox(kapshot.threadId(), "no Form1 window appeared", [&] {
        return (form = findWindow(kapshot.threadId(), "Form1", "")) != nullptr;
    });
    if (!failure.empty()) {
        return failure;
    }
    const HWND adquiere = childWith(form, "Adquiere");
    if (adquiere == nullptr) {
        return "Form1 has no \"Adquiere\" button";
    }
    ::SendNotifyMessageW(adquiere, BM_CLICK, 0, 0);
    failure = waitOrBox(kapshot.threadId(), "no picture " + picture.string(),
                        [&] { return std::filesystem::exists(picture); });
    // The click handled to its end: the picture shown, or a message about it.
    waitUntilIdle(form);
    if (failure.empty()) {
        failure = shownMessage(kapshot.threadId());
    }
    if (!failure.empty()) {
        return failure;
    }
    ::PostMessageW(form, WM_CLOSE, 0, 0);
    const std::optional<DWORD> status = kapshot.waitForExit(15000);
    if (!status) {
        return "KAPSHOT did not end after WM_CLOSE";
    }
    return *status == 0 ? "" : "KAPSHOT ended with status " + std::to_string(*status);
}

std::optional<Picture> readPicture(const std::filesystem::path& path) {
    std::error_code error;
    if (!std::filesystem::exists(path, error)) {
        return std::nullopt;
    }
    std::string file = readFile(path);
    auto decoded = host::decodeControlBmp(file);
    if (!decoded || decoded->width <= 0 || decoded->height <= 0) {
        return std::nullopt;
    }
    return Picture{decoded->width, decoded->height, std::move(file), std::move(decoded->pixels)};
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
