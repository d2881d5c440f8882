#include "host/field_setting.h"

#include "control/in_memory_dialog_view.h"
#include "platform/text.h"

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

AssignmentCheck checkAssignment(std::string_view name, std::string_view utf8Value) {
    AssignmentCheck check;
    const control::ExchangeEntry* entry = control::findExchangeEntry(name);
    if (entry == nullptr) {
        check.fault = AssignmentFault::UnknownName;
        return check;
    }
    auto held = platform::utf8ToControlText(utf8Value);
    if (!held) {
        check.fault = AssignmentFault::NotHeld;
        return check;
    }
    std::string value = std::move(*held);
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

std::string faultText(const AssignmentCheck& check, std::string_view name) {
    const std::string field(name);
    switch (check.fault) {
        case AssignmentFault::UnknownName:
            return "'" + field + "' is not a field of the dialog";
        case AssignmentFault::NotHeld:
            return "the value of " + field +
                   " holds a character the control cannot keep (Windows-1252 only, no NUL)";
        case AssignmentFault::Dicom:
            return "dicom cannot be changed: its box in the dialog is disabled";
        case AssignmentFault::NotAFlag:
            return field + " takes 0 or 1";
        case AssignmentFault::Refused:
            return platform::cp1252ToUtf8(check.refusal);
        case AssignmentFault::None:
        default:
            return {};
    }
}

bool typeIntoDialog(control::CKAPTORAXCtrl& ctrl, const std::vector<Assignment>& assignments) {
    FieldSettingRunner runner(assignments);
    return ctrl.configDialog().run(runner) == control::Outcome::Aceptar &&
           !ctrl.configDialog().isOpen();
}

}  // namespace kaptor::host
