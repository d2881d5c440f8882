// The host services a control instance is built on, borrowed for the control's whole life.
#pragma once

#include "control/board_config_dlg.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/library_loader.h"
#include "platform/operator.h"
#include "platform/process_exit.h"

namespace kaptor::control {

struct ControlServices {
    platform::FileSystem& files;
    platform::Operator& person;
    platform::Clock& clock;
    platform::ProcessExit& processExit;
    platform::LibraryLoader& libraries;
    DialogRunner& dialogs;
};

}  // namespace kaptor::control
