// The configuration in use as named values, and the configurations there are to choose from:
// what `kaptor config show` and `config list` print and what the public API returns.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "control/kaptorax_ctrl.h"
#include "platform/file_system.h"

namespace kaptor::host {

struct NamedSettings {
    std::vector<std::pair<const char*, std::string>> texts;  // Windows-1252
    std::vector<std::pair<const char*, long long>> numbers;
};

// The settings the control holds now, named as the dialog's fields are; the caller loads the
// configuration first.
NamedSettings namedSettings(const control::CKAPTORAXCtrl& ctrl);

// The names in the configuration folder, in the dialog's list order (Windows-1252).
std::vector<std::string> configurationNames(control::CKAPTORAXCtrl& ctrl);

// Why name (Windows-1252) cannot go into the selector: not a plain file name, longer than the
// dialog's field takes, holding a control character, or not in the configuration folder. nullptr
// when it can.
const char* whyNotSelectable(platform::FileSystem& files, const std::string& name);

}  // namespace kaptor::host
