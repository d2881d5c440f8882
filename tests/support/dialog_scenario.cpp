#include "tests/support/dialog_scenario.h"

#include "control/dialog_exchange.h"

namespace kaptor::test {

using control::Conversion;

DialogSnapshot snapshotOf(const control::DialogView& view) {
    DialogSnapshot s;
    for (const control::ExchangeEntry& entry : control::EXCHANGE_TABLE) {
        if (entry.conversion == Conversion::CheckState) {
            s.fields.push_back(view.checked(entry.controlId) ? "1" : "0");
        } else if (entry.conversion != Conversion::ComboText) {
            s.fields.push_back(view.text(entry.controlId));
        }
    }
    s.comboText = view.comboText();
    s.selection = view.selection();
    for (int i = 0; i < view.listCount(); ++i) {
        s.list.push_back(view.listEntry(i));
    }
    return s;
}

std::string describe(const DialogSnapshot& s) {
    std::string out;
    for (const auto& field : s.fields) {
        out += field + ",";
    }
    out += " combo='" + s.comboText + "' selected=" + std::to_string(s.selection) + " list=";
    for (const auto& entry : s.list) {
        out += entry + "|";
    }
    return out;
}

void perform(control::InMemoryDialogView& view, const std::vector<PersonAction>& actions,
             std::vector<DialogSnapshot>& snapshots) {
    using Kind = PersonAction::Kind;
    for (const PersonAction& action : actions) {
        if (action.kind == Kind::Type) {
            view.type(action.id, action.text);
        } else if (action.kind == Kind::Click) {
            view.click(action.id);
        } else if (action.kind == Kind::Pick) {
            view.pick(action.entry);
        } else if (action.kind == Kind::Drop) {
            view.drop();
        } else {
            snapshots.push_back(snapshotOf(view));
        }
    }
}

}  // namespace kaptor::test
