#include "control/board_config_dlg.h"

#include "control/dialog_exchange.h"
#include "control/messages.h"

namespace kaptor::control {

using platform::Answer;
using platform::Buttons;

CBoardConfigDlg::CBoardConfigDlg(ConfigurationFiles& files, platform::Operator& person)
    : files_(files), operator_(person) {}

Outcome CBoardConfigDlg::run(DialogRunner& runner) {
    outcome_ = Outcome::Open;
    runner.runConfigDialog(*this);
    return outcome_;
}

void CBoardConfigDlg::onInitDialog(DialogView& view) {
    view_ = &view;
    // The first showing finds the list empty, so the name lands in the edit field as text.
    showFields();
    names_.listIndex = 0;
    outcome_ = Outcome::Open;
    listConfigurations();
    fillList();
    // The second showing finds the entries and selects the one that begins with the name.
    showFields();
    view.focus(IDC_ACEPTAR);
}

bool CBoardConfigDlg::onCommand(int controlId, Notification notification) {
    if (notification == Notification::Clicked) {
        switch (controlId) {
            case IDC_APLICAR:
                onAplicar();
                return true;
            case IDC_ACEPTAR:
                onAceptar();
                return true;
            case IDC_CANCELAR:
                onCancelar();
                return true;
            case IDC_DICOM:
                onDicomClicked();
                return true;
            case IDC_BORRAR:
                onBorrar();
                return true;
            case IDC_FIELD_INVERSION:
                onFieldInversionClicked();
                return true;
            case IDC_SINGLE_FIELD:
                onSingleFieldClicked();
                return true;
            default:
                return false;
        }
    }
    if (controlId == IDC_CONFIG_NAME && notification == Notification::EditChanged) {
        onNameEdited();
        return true;
    }
    if (controlId == IDC_CONFIG_NAME && notification == Notification::SelectionChanged) {
        onNamePicked();
        return true;
    }
    return false;
}

void CBoardConfigDlg::okStep() {
    if (saveFields(true)) {
        view_->endDialog(END_OK);
    }
}

void CBoardConfigDlg::onAplicar() {
    outcome_ = Outcome::Aplicar;
    okStep();
}

void CBoardConfigDlg::onAceptar() {
    outcome_ = Outcome::Aceptar;
    saveFields(true);
    // The selector names what is stored now, even when an entry was refused.
    writeSelector();
    okStep();
}

void CBoardConfigDlg::onCancelar() {
    outcome_ = Outcome::Cancelar;
    view_->endDialog(END_CANCEL);
}

// The box has already flipped itself; the flag flips too, so that it follows the box even when
// an earlier entry stops the exchange before it.
void CBoardConfigDlg::flipFlagAndSave(std::int32_t& flag) {
    flag = flag == 1 ? 0 : 1;
    saveFields();
}

void CBoardConfigDlg::onDicomClicked() {
    flipFlagAndSave(settings.dicom);
}

void CBoardConfigDlg::onFieldInversionClicked() {
    flipFlagAndSave(settings.fieldInversion);
}

void CBoardConfigDlg::onSingleFieldClicked() {
    flipFlagAndSave(settings.singleField);
}

void CBoardConfigDlg::onNameEdited() {
    if (view_->selection() != NO_SELECTION) {
        saveFields();
    }
}

void CBoardConfigDlg::onNamePicked() {
    const int picked = view_->selection();
    if (picked != NO_SELECTION) {
        settings.configName = view_->listEntry(picked);
    } else {
        saveFields();
    }
    writeSelector();
    reloadConfiguration();
    showFields();
}

void CBoardConfigDlg::onBorrar() {
    // With no configuration named there is nothing to delete and nothing to ask.
    if (settings.configName.empty()) {
        return;
    }
    if (operator_.messageBox(msg::DELETE_QUESTION, Buttons::YesNo) != Answer::Yes) {
        return;
    }
    const std::string question = std::string(msg::CONFIRM_DELETE_PREFIX) +
                                 std::string(LIST_FOLDER) + settings.configName +
                                 std::string(msg::CONFIRM_DELETE_SUFFIX);
    if (operator_.messageBox(question, Buttons::OkCancel) != Answer::Ok) {
        return;
    }
    deleteConfiguration();
    listConfigurations();
    view_->resetList();
    fillList();
    names_.listIndex = 1;
    settings.configName = getListEntry();
    showFields();
}

void CBoardConfigDlg::fillList() {
    for (names_.listIndex = 1; names_.listIndex <= names_.listCount; ++names_.listIndex) {
        view_->appendListEntry(getListEntry());
    }
}

bool CBoardConfigDlg::saveFields(bool leaving) {
    return control::saveFields(*view_, settings, operator_, leaving);
}

void CBoardConfigDlg::showFields() {
    control::showFields(*view_, settings);
}

void CBoardConfigDlg::reloadConfiguration() {
    files_.readConfiguration(settings, {msg::SELECTOR_OPEN_DIALOG, msg::CONFIG_OPEN_DIALOG},
                             nullptr, nullptr);
}

void CBoardConfigDlg::writeSelector() {
    files_.writeSelector(settings.configName);
}

void CBoardConfigDlg::listConfigurations() {
    files_.listConfigurations(names_);
}

std::string CBoardConfigDlg::getListEntry() const {
    return names_.getListEntry();
}

std::vector<std::string> CBoardConfigDlg::configurationNames() {
    listConfigurations();
    std::vector<std::string> names;
    for (names_.listIndex = 1; names_.listIndex <= names_.listCount; ++names_.listIndex) {
        names.push_back(getListEntry());
    }
    return names;
}

void CBoardConfigDlg::deleteConfiguration() {
    files_.deleteConfiguration(settings.configName);
}

}  // namespace kaptor::control
