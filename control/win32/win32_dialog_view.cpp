#include "control/win32/win32_dialog_view.h"

#include <string>

#include "platform/win32/wide_text.h"

namespace kaptor::win32 {
namespace {

using platform::cp1252ToWide;
using platform::wideToCp1252;

}  // namespace

std::string Win32DialogView::text(int id) const {
    const HWND control = GetDlgItem(window_, id);
    std::wstring buffer(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    const int length = GetWindowTextW(control, buffer.data(), static_cast<int>(buffer.size()));
    buffer.resize(static_cast<std::size_t>(length > 0 ? length : 0));
    return wideToCp1252(buffer);
}

void Win32DialogView::setText(int id, std::string_view text) {
    SetDlgItemTextW(window_, id, cp1252ToWide(text).c_str());
}

bool Win32DialogView::checked(int id) const {
    return IsDlgButtonChecked(window_, id) == BST_CHECKED;
}

void Win32DialogView::setChecked(int id, bool checked) {
    CheckDlgButton(window_, id, checked ? BST_CHECKED : BST_UNCHECKED);
}

LRESULT Win32DialogView::sendToCombo(UINT message, WPARAM wParam, LPARAM lParam) const {
    return SendDlgItemMessageW(window_, control::IDC_CONFIG_NAME, message, wParam, lParam);
}

void Win32DialogView::resetList() {
    sendToCombo(CB_RESETCONTENT, 0, 0);
}

void Win32DialogView::appendListEntry(std::string_view entry) {
    // Inserting at the end keeps the folder's order although the box is of the sorted style.
    const std::wstring text = cp1252ToWide(entry);
    sendToCombo(CB_INSERTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text.c_str()));
}

int Win32DialogView::listCount() const {
    return static_cast<int>(sendToCombo(CB_GETCOUNT, 0, 0));
}

std::string Win32DialogView::listEntry(int index) const {
    const LRESULT length = sendToCombo(CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == CB_ERR) {
        return {};
    }
    std::wstring buffer(static_cast<std::size_t>(length) + 1, L'\0');
    sendToCombo(CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer.data()));
    buffer.resize(static_cast<std::size_t>(length));
    return wideToCp1252(buffer);
}

int Win32DialogView::selection() const {
    const LRESULT selected = sendToCombo(CB_GETCURSEL, 0, 0);
    return selected == CB_ERR ? control::NO_SELECTION : static_cast<int>(selected);
}

int Win32DialogView::selectFirstBeginningWith(std::string_view prefix) {
    const std::wstring text = cp1252ToWide(prefix);
    const LRESULT found = sendToCombo(CB_SELECTSTRING, static_cast<WPARAM>(-1),
                                      reinterpret_cast<LPARAM>(text.c_str()));
    return found == CB_ERR ? control::NO_SELECTION : static_cast<int>(found);
}

void Win32DialogView::focus(int id) {
    SendMessageW(window_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(window_, id)), TRUE);
}

void Win32DialogView::endDialog(int code) {
    EndDialog(window_, code);
}

}  // namespace kaptor::win32
