#include "control/board_config_dlg.h"

#include "control/messages.h"

namespace kaptor::control {

CBoardConfigDlg::CBoardConfigDlg(ConfigurationFiles& files) : files_(files) {}

void CBoardConfigDlg::reloadConfiguration() {
    files_.readConfiguration(settings, {msg::SELECTOR_OPEN_DIALOG, msg::CONFIG_OPEN_DIALOG},
                             nullptr, nullptr);
}

void CBoardConfigDlg::writeSelector() {
    files_.writeSelector(settings.configName);
}

void CBoardConfigDlg::listConfigurations() {
    files_.listConfigurations(names);
}

std::string CBoardConfigDlg::getListEntry() const {
    return names.getListEntry();
}

void CBoardConfigDlg::deleteConfiguration() {
    files_.deleteConfiguration(settings.configName);
}

}  // namespace kaptor::control
