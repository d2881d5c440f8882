#include "tests/windows/kapshot_driver.h"

#include <cstring>

#include "tests/windows/kapshot_probe.h"

namespace kaptor::test {
namespace {

constexpr int BMP_HEADER_BYTES = 1078;
constexpr int PALETTE_OFFSET = 54;

std::int32_t little32(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    std::int32_t value = 0;
    std::memcpy(&value, bytes.data() + at, sizeof value);
    return value;
}

}  // namespace

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
