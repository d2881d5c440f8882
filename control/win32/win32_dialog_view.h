// The configuration dialog's controls reached through a dialog window's handle. Texts cross as
// Windows-1252 inside and UTF-16 at the window, so they do not depend on the system's code page.
#pragma once

#include "control/dialog_view.h"

#include <windows.h>

namespace kaptor::win32 {

class Win32DialogView : public control::DialogView {
  public:
    explicit Win32DialogView(HWND window) : window_(window) {}

    std::string text(int id) const override;
    void setText(int id, std::string_view text) override;
    bool checked(int id) const override;
    void setChecked(int id, bool checked) override;
    void resetList() override;
    void appendListEntry(std::string_view entry) override;
    int listCount() const override;
    std::string listEntry(int index) const override;
    int selection() const override;
    int selectFirstBeginningWith(std::string_view prefix) override;
    std::string comboText() const override { return text(control::IDC_CONFIG_NAME); }
    void setComboText(std::string_view text) override { setText(control::IDC_CONFIG_NAME, text); }
    void focus(int id) override;
    void endDialog(int code) override;

  private:
    LRESULT sendToCombo(UINT message, WPARAM wParam, LPARAM lParam) const;

    HWND window_;
};

}  // namespace kaptor::win32
