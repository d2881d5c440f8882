// The configuration dialog without a screen: `--dialog` steps, taken in order each time the
// dialog is open, act on the in-memory window as a person would. When the steps run out while
// the dialog is open, it is left with CANCELAR, the safe default.
#pragma once

#include <cstdio>
#include <deque>
#include <optional>
#include <string>
#include <string_view>

#include "control/board_config_dlg.h"
#include "control/in_memory_dialog_view.h"
#include "platform/operator.h"

namespace kaptor::cli {

struct DialogStep {
    enum class Kind { Type, Click, Pick, Drop, Show };
    Kind kind = Kind::Show;
    int controlId = 0;
    int entryNumber = 0;
    std::string text;      // Windows-1252, for Type
    std::string original;  // the step as given, for messages
};

// type:ID=TEXT, click:ID (a number, ACEPTAR, APLICAR, CANCELAR or BORRAR), pick:N, drop, show.
// Nothing, and a line saying why in error, when the step is not one of these.
std::optional<DialogStep> parseDialogStep(std::string_view step, std::string& error);

// The dialog's state, one ID=VALUE line per edit box and check box in template order, then the
// combo box's edit text, selection (from 1, 0 for none) and list.
void printDialogState(const control::InMemoryDialogView& view, std::FILE* out);

class SteppedDialogRunner : public control::DialogRunner {
  public:
    SteppedDialogRunner(std::deque<DialogStep> steps, platform::Operator& person)
        : steps_(std::move(steps)), operator_(person) {}

    void runConfigDialog(control::CBoardConfigDlg& dialog) override;
    void runAboutBox() override;

    // A step could not be taken (a disabled control, an entry that is not there).
    bool stepRefused() const { return stepRefused_; }

  private:
    bool take(const DialogStep& step, control::InMemoryDialogView& view);

    std::deque<DialogStep> steps_;
    platform::Operator& operator_;
    bool stepRefused_ = false;
};

}  // namespace kaptor::cli
