// The NAME=VALUE words of `config set`, read before any file is touched: each names a field of
// the configuration dialog (as `config show` prints it) and a value the dialog would take.
#pragma once

#include <string>
#include <vector>

#include "control/dialog_exchange.h"

namespace kaptor::cli {

struct Assignment {
    const control::ExchangeEntry* entry;
    std::string value;  // Windows-1252
};

struct Assignments {
    std::vector<Assignment> assignments;
    // Why the words were refused: empty when they were not. dialogMessage tells the dialog's own
    // validation message (shown as the control shows it) from kaptor's line.
    std::string refusal;
    bool dialogMessage = false;
};

Assignments parseAssignments(const std::vector<std::string>& words);

}  // namespace kaptor::cli
