// What a person does in the configuration dialog, as data: one list of actions per opening of
// the dialog. The same scenario runs on the in-memory window and on the real one, and what each
// leaves behind (record, messages, files, the board's frames, snapshots of the controls) must be
// the same.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "control/board_config_dlg.h"
#include "control/dialog_view.h"
#include "control/in_memory_dialog_view.h"

namespace kaptor::test {

struct PersonAction {
    enum class Kind { Type, Click, Pick, Drop, Snapshot };
    Kind kind;
    int id = 0;
    std::string text;  // Windows-1252, for Type
    int entry = 0;     // from 1, for Pick
};

inline PersonAction typeInto(int id, std::string text) {
    return {PersonAction::Kind::Type, id, std::move(text)};
}
inline PersonAction clickOn(int id) {
    return {PersonAction::Kind::Click, id};
}
inline PersonAction pickEntry(int entry) {
    return {PersonAction::Kind::Pick, 0, {}, entry};
}
inline PersonAction dropList() {
    return {PersonAction::Kind::Drop};
}
inline PersonAction snapshotNow() {
    return {PersonAction::Kind::Snapshot};
}

// The controls' state as a person sees it.
struct DialogSnapshot {
    std::vector<std::string> fields;  // in exchange order; check boxes as "0"/"1"
    std::string comboText;
    int selection = control::NO_SELECTION;
    std::vector<std::string> list;
    bool operator==(const DialogSnapshot&) const = default;
};
DialogSnapshot snapshotOf(const control::DialogView& view);
std::string describe(const DialogSnapshot& snapshot);

struct DialogScenario {
    const char* name;
    std::vector<std::vector<PersonAction>> openings;
    std::vector<platform::Answer> answers;  // to the message boxes, in order
};

// Does what a person does, in order, on the in-memory window; snapshots go to snapshots.
void perform(control::InMemoryDialogView& view, const std::vector<PersonAction>& actions,
             std::vector<DialogSnapshot>& snapshots);

}  // namespace kaptor::test
