#include "cli/config_assignments.h"

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
        auto check = host::checkAssignment(name, std::string_view(text).substr(equals + 1));
        switch (check.fault) {
            case host::AssignmentFault::None:
                parsed.assignments.push_back(std::move(check.assignment));
                break;
            case host::AssignmentFault::UnknownName:
                return notAField();
            case host::AssignmentFault::Refused:
                // The dialog's own message, in its own text.
                return refuse(check.refusal, true);
            default:
                return refuse("kaptor: config set: " + host::faultText(check, name));
        }
    }
    return parsed;
}

}  // namespace kaptor::cli
