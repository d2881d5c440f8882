// Commands that run the configuration dialog without a screen: `set` runs the control's Set
// with the --dialog steps; `config set` types values into the dialog's fields and accepts them.
#pragma once

#include <string>
#include <vector>

#include "cli/host.h"

namespace kaptor::cli {

// Set on a new control, after Inicializa when init is true.
int runSetCommand(HostOptions options, bool init);

// NAME=VALUE assignments (names as `config show` prints them, flags 0 or 1) typed into the
// dialog, which is left with ACEPTAR; the configuration in use is then saved. A value the dialog
// would refuse is refused before anything is opened: its validation message, status 2.
int runConfigSetCommand(const std::vector<std::string>& assignments, HostOptions options);

}  // namespace kaptor::cli
