// The NAME=VALUE words of `config set`, read before any file is touched: each names a field of
// the configuration dialog (as `config show` prints it) and a value the dialog would take.
#pragma once

#include <string>
#include <vector>

#include "host/field_setting.h"

namespace kaptor::cli {

using host::Assignment;

struct Assignments {
    std::vector<Assignment> assignments;
    // Why the words were refused: empty when they were not. dialogMessage tells the dialog's own
    // validation message (shown as the control shows it) from kaptor's line.
    std::string refusal;
    bool dialogMessage = false;
};

Assignments parseAssignments(const std::vector<std::string>& words);

}  // namespace kaptor::cli
