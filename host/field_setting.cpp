#include "host/field_setting.h"

#include "control/in_memory_dialog_view.h"

namespace kaptor::host {
namespace {

using control::Conversion;

class FieldSettingRunner : public control::DialogRunner {
  public:
    explicit FieldSettingRunner(const std::vector<Assignment>& assignments)
        : assignments_(assignments) {}

    void runConfigDialog(control::CBoardConfigDlg& dialog) override {
        control::InMemoryDialogView view(dialog);
        view.open();
        for (const Assignment& a : assignments_) {
            if (a.entry->conversion == Conversion::CheckState) {
                if (view.checked(a.entry->controlId) != (a.value == "1")) {
                    view.click(a.entry->controlId);
                }
            } else {
                view.type(a.entry->controlId, a.value);
            }
        }
        view.click(control::IDC_ACEPTAR);
        if (!view.ended()) {
            view.click(control::IDC_CANCELAR);
        }
    }
    void runAboutBox() override {}

  private:
    const std::vector<Assignment>& assignments_;
};

}  // namespace

AssignmentCheck checkAssignment(std::string_view name, std::string value) {
    AssignmentCheck check;
    const control::ExchangeEntry* entry = control::findExchangeEntry(name);
    if (entry == nullptr) {
        check.fault = AssignmentFault::UnknownName;
        return check;
    }
    if (entry->controlId == control::IDC_DICOM) {
        check.fault = AssignmentFault::Dicom;
        return check;
    }
    if (entry->conversion == Conversion::CheckState) {
        if (value != "0" && value != "1") {
            check.fault = AssignmentFault::NotAFlag;
            return check;
        }
    } else if (auto converted = control::convertText(*entry, value, true);
               !converted.refusal.empty()) {
        check.fault = AssignmentFault::Refused;
        check.refusal = std::move(converted.refusal);
        return check;
    }
    check.assignment = {entry, std::move(value)};
    return check;
}

bool typeIntoDialog(control::CKAPTORAXCtrl& ctrl, const std::vector<Assignment>& assignments) {
    FieldSettingRunner runner(assignments);
    runner.runConfigDialog(ctrl.configDialog());
    return ctrl.configDialog().resultCode == control::RESULT_ACEPTAR &&
           !ctrl.configDialog().isOpen();
}

}  // namespace kaptor::host
