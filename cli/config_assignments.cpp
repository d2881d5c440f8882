#include "cli/config_assignments.h"

#include "platform/text.h"

namespace kaptor::cli {

Assignments parseAssignments(const std::vector<std::string>& words) {
    using control::Conversion;
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
        const control::ExchangeEntry* entry = control::findExchangeEntry(name);
        if (equals == std::string::npos || entry == nullptr) {
            return refuse("kaptor: config set: '" + text +
                          "' is not NAME=VALUE with NAME a field of the dialog (see 'kaptor "
                          "config show')");
        }
        const auto held = platform::utf8ToControlText(text.substr(equals + 1));
        if (!held) {
            return refuse("kaptor: config set: the value of " + name +
                          " holds a character the control cannot keep (Windows-1252 only, no "
                          "NUL)");
        }
        const std::string& value = *held;
        if (entry->controlId == control::IDC_DICOM) {
            return refuse(
                "kaptor: config set: dicom cannot be changed: its box in the dialog is disabled");
        }
        if (entry->conversion == Conversion::CheckState) {
            if (value != "0" && value != "1") {
                return refuse("kaptor: config set: " + name + " takes 0 or 1");
            }
        } else if (const auto converted = control::convertText(*entry, value, true);
                   !converted.refusal.empty()) {
            return refuse(converted.refusal, true);
        }
        parsed.assignments.push_back({entry, value});
    }
    return parsed;
}

}  // namespace kaptor::cli
