// The configuration dialog's window held in memory, with the behaviour of the real controls, and
// the actions a person takes on it. Tests and the headless host run the dialog through it.
//
// What it keeps of the real controls: an automatic check box flips before its handler runs; a
// disabled control cannot be clicked; picking a list entry puts its text in the combo box's edit
// field; typing into that field raises one edit-changed notification per character and first
// moves the list's selection as the drop-down combo box does (list closed: no selection; list
// dropped down: the first entry that begins with the typed text, or none).
#pragma once

#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "control/board_config_dlg.h"
#include "control/dialog_view.h"

namespace kaptor::control {

class InMemoryDialogView : public DialogView {
  public:
    explicit InMemoryDialogView(CBoardConfigDlg& dialog) : dialog_(dialog) {}

    // Opens the window: fresh controls, then the dialog's opening.
    void open();
    // The modal loop has ended and the window is gone.
    bool ended() const { return ended_; }
    int endCode() const { return endCode_; }

    // What a person does. Each returns false when the action cannot be taken (the window is
    // closed, the control is disabled or not of that kind, the entry does not exist).
    bool click(int id);
    bool type(int id, std::string_view text);
    bool pick(int entryNumber);  // from 1
    bool drop();

    bool isEditBox(int id) const;
    bool isCheckBox(int id) const;
    bool isEnabled(int id) const { return disabled_.count(id) == 0; }
    int focused() const { return focused_; }

    // DialogView.
    std::string text(int id) const override;
    void setText(int id, std::string_view text) override;
    bool checked(int id) const override;
    void setChecked(int id, bool checked) override;
    void resetList() override;
    void appendListEntry(std::string_view entry) override;
    int listCount() const override { return static_cast<int>(list_.size()); }
    std::string listEntry(int index) const override;
    int selection() const override { return selection_; }
    int selectFirstBeginningWith(std::string_view prefix) override;
    std::string comboText() const override { return comboText_; }
    void setComboText(std::string_view text) override { comboText_ = text; }
    void focus(int id) override { focused_ = id; }
    void endDialog(int code) override;

  private:
    int firstBeginningWith(std::string_view prefix) const;
    void notify(int id, Notification notification);

    CBoardConfigDlg& dialog_;
    std::map<int, std::string> texts_;
    std::map<int, bool> checks_;
    std::set<int> disabled_;
    std::vector<std::string> list_;
    int selection_ = NO_SELECTION;
    std::string comboText_;
    bool dropped_ = false;
    int focused_ = 0;
    bool ended_ = true;
    int endCode_ = 0;
};

}  // namespace kaptor::control
