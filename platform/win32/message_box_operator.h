// Windows: the operator is the person at the screen. Message boxes are MessageBoxA with the
// control's Windows-1252 text as it is; the beep is MessageBeep.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "platform/operator.h"

namespace kaptor::platform {

// The MessageBoxA style for the buttons and icon of a message.
UINT messageBoxStyle(Buttons buttons, Icon icon);

class MessageBoxOperator : public Operator {
  public:
    // owner gives the window the boxes belong to at the time they are shown (none: the boxes
    // are modal to the whole task).
    explicit MessageBoxOperator(std::string caption, std::function<HWND()> owner = {});

    Answer messageBox(std::string_view text, Buttons buttons, Icon icon) override;
    void beep(Beep kind) override;

  private:
    std::string caption_;
    std::function<HWND()> owner_;
};

}  // namespace kaptor::platform
