// Changing the configuration in use through the dialog's own checks: each value is checked as
// its field would check it, then typed into the dialog, which is left with ACEPTAR. kaptor's
// `config set` and the public API's configure share it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "control/dialog_exchange.h"
#include "control/kaptorax_ctrl.h"

namespace kaptor::host {

struct Assignment {
    const control::ExchangeEntry* entry;
    std::string value;  // Windows-1252
};

enum class AssignmentFault {
    None,
    UnknownName,  // not a field of the dialog
    NotHeld,      // the value holds a character the control cannot keep
    Dicom,        // its box is disabled: it cannot be changed
    NotAFlag,     // a check box takes 0 or 1
    Refused,      // the field refuses the text: refusal holds the dialog's message
};

struct AssignmentCheck {
    AssignmentFault fault = AssignmentFault::None;
    Assignment assignment{};
    std::string refusal;  // Windows-1252, as the dialog shows it
};

// name as `kaptor config show` prints it; value in UTF-8.
AssignmentCheck checkAssignment(std::string_view name, std::string_view value);

// Why a check failed, in UTF-8 (Refused: the dialog's message).
std::string faultText(const AssignmentCheck& check, std::string_view name);

// Types each value into its field of the configuration the control holds (the caller has just
// loaded it, and checked that the read succeeded: saving after a failed read would write blank
// lines and zeros) and leaves with ACEPTAR; a check box is clicked when its state differs. True
// when the dialog took them all and closed; then the caller saves. A dialog that stays open is
// cancelled.
bool typeIntoDialog(control::CKAPTORAXCtrl& ctrl, const std::vector<Assignment>& assignments);

}  // namespace kaptor::host
