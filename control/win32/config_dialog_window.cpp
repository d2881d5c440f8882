#include "control/win32/config_dialog_window.h"

#include <optional>

#include "control/win32/label_fit.h"
#include "control/win32/win32_dialog_view.h"

namespace kaptor::win32 {
namespace {

using control::Notification;

constexpr int CONFIG_DIALOG_RESOURCE = 201;

// What the window of one modal run keeps: the dialog logic and the view over the window.
struct DialogRun {
    control::CBoardConfigDlg& dialog;
    std::optional<Win32DialogView> view;
};

std::optional<Notification> notificationOf(int id, WORD code) {
    if (id == control::IDC_CONFIG_NAME) {
        if (code == CBN_EDITCHANGE) {
            return Notification::EditChanged;
        }
        if (code == CBN_SELCHANGE) {
            return Notification::SelectionChanged;
        }
        return std::nullopt;
    }
    // Buttons and check boxes; Enter arrives as IDOK, Escape and the close box as IDCANCEL.
    return code == BN_CLICKED ? std::optional(Notification::Clicked) : std::nullopt;
}

INT_PTR CALLBACK dialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* run = reinterpret_cast<DialogRun*>(lParam);
        SetWindowLongPtrW(window, DWLP_USER, lParam);
        widenLabelsToTheirText(window);
        run->view.emplace(window);
        run->dialog.onInitDialog(*run->view);
        return FALSE;  // the dialog has placed the focus itself
    }
    auto* run = reinterpret_cast<DialogRun*>(GetWindowLongPtrW(window, DWLP_USER));
    if (run == nullptr || message != WM_COMMAND || !run->dialog.isOpen()) {
        return FALSE;
    }
    // Edit boxes also report with small codes; the dialog's message map says what it handles.
    const int id = LOWORD(wParam);
    const auto notification = notificationOf(id, HIWORD(wParam));
    return notification && run->dialog.onCommand(id, *notification) ? TRUE : FALSE;
}

}  // namespace

void runConfigDialogWindow(HINSTANCE module, HWND owner, control::CBoardConfigDlg& dialog) {
    DialogRun run{dialog, std::nullopt};
    DialogBoxParamW(module, MAKEINTRESOURCEW(CONFIG_DIALOG_RESOURCE), owner, dialogProcedure,
                    reinterpret_cast<LPARAM>(&run));
    dialog.onWindowClosed();
}

}  // namespace kaptor::win32
