#include "platform/win32/message_box_operator.h"

namespace kaptor::platform {

UINT messageBoxStyle(Buttons buttons, Icon icon) {
    UINT style = 0;
    switch (buttons) {
        case Buttons::OkCancel:
            style = MB_OKCANCEL;
            break;
        case Buttons::YesNo:
            style = MB_YESNO;
            break;
        case Buttons::Ok:
        default:
            style = MB_OK;
            break;
    }
    switch (icon) {
        case Icon::Exclamation:
            style |= MB_ICONEXCLAMATION;
            break;
        case Icon::Question:
            style |= MB_ICONQUESTION;
            break;
        case Icon::None:
        default:
            break;
    }
    return style;
}

MessageBoxOperator::MessageBoxOperator(std::string caption, std::function<HWND()> owner)
    : caption_(std::move(caption)), owner_(std::move(owner)) {}

Answer MessageBoxOperator::messageBox(std::string_view text, Buttons buttons, Icon icon) {
    const HWND owner = owner_ ? owner_() : nullptr;
    const UINT style = messageBoxStyle(buttons, icon) | (owner == nullptr ? MB_TASKMODAL : 0);
    const std::string shown(text);
    // The box's results are the answers' own values (IDOK 1, IDCANCEL 2, IDYES 6, IDNO 7).
    switch (::MessageBoxA(owner, shown.c_str(), caption_.c_str(), style)) {
        case IDOK:
            return Answer::Ok;
        case IDCANCEL:
            return Answer::Cancel;
        case IDYES:
            return Answer::Yes;
        case IDNO:
            return Answer::No;
        default:
            // The box could not be shown: nobody answered.
            return safeAnswer(buttons);
    }
}

void MessageBoxOperator::beep(Beep) {
    ::MessageBeep(MB_ICONEXCLAMATION);
}

}  // namespace kaptor::platform
