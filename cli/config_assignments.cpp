#include "cli/config_assignments.h"

#include "platform/text.h"

namespace kaptor::cli {

Assignments parseAssignments(const std::vector<std::string>& words) {
    Assignments parsed;
    const auto refuse = [&parsed](std::string why, bool dialogMessage = false) {
        parsed.assignments.clear();
        parsed.refusal = std::move(why);
        parsed.dialogMessage = dialogMessage;
        return parsed;
    };
    for (const std::string& text : words) {
        const auto equals = text.find('=');
        const std::string name = text.substr(0, equals);
        const auto notAField = [&] {
            return refuse("kaptor: config set: '" + text +
                          "' is not NAME=VALUE with NAME a field of the dialog (see 'kaptor "
                          "config show')");
        };
        if (equals == std::string::npos) {
            return notAField();
        }
        const auto held = platform::utf8ToControlText(text.substr(equals + 1));
        if (!held) {
            return refuse("kaptor: config set: the value of " + name +
                          " holds a character the control cannot keep (Windows-1252 only, no "
                          "NUL)");
        }
        auto check = host::checkAssignment(name, *held);
        switch (check.fault) {
            case host::AssignmentFault::None:
                parsed.assignments.push_back(std::move(check.assignment));
                break;
            case host::AssignmentFault::UnknownName:
                return notAField();
            case host::AssignmentFault::Dicom:
                return refuse(
                    "kaptor: config set: dicom cannot be changed: its box in the dialog is "
                    "disabled");
            case host::AssignmentFault::NotAFlag:
                return refuse("kaptor: config set: " + name + " takes 0 or 1");
            case host::AssignmentFault::Refused:
                return refuse(check.refusal, true);
        }
    }
    return parsed;
}

}  // namespace kaptor::cli
