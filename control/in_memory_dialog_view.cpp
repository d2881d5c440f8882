#include "control/in_memory_dialog_view.h"

#include <algorithm>

#include "control/dialog_exchange.h"
#include "platform/text.h"

namespace kaptor::control {
namespace {

// The push buttons of the template, beside the edit boxes, check boxes and the combo box.
constexpr int PUSH_BUTTONS[] = {IDC_ACEPTAR, IDC_CANCELAR, IDC_APLICAR, IDC_BORRAR};

bool beginsWithIgnoreCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           platform::equalsIgnoreCase1252(text.substr(0, prefix.size()), prefix);
}

}  // namespace

void InMemoryDialogView::open() {
    texts_.clear();
    checks_.clear();
    for (const ExchangeEntry& entry : EXCHANGE_TABLE) {
        if (entry.conversion == Conversion::CheckState) {
            checks_[entry.controlId] = false;
        } else if (entry.conversion != Conversion::ComboText) {
            texts_[entry.controlId] = "";
        }
    }
    // The Dicom box is created disabled and nothing enables it.
    disabled_ = {IDC_DICOM};
    list_.clear();
    selection_ = NO_SELECTION;
    comboText_.clear();
    dropped_ = false;
    focused_ = 0;
    ended_ = false;
    endCode_ = 0;
    dialog_.onInitDialog(*this);
}

bool InMemoryDialogView::isEditBox(int id) const {
    return texts_.count(id) != 0;
}

bool InMemoryDialogView::isCheckBox(int id) const {
    return checks_.count(id) != 0;
}

void InMemoryDialogView::notify(int id, Notification notification) {
    dialog_.onCommand(id, notification);
    if (ended_) {
        dialog_.onWindowClosed();
    }
}

bool InMemoryDialogView::click(int id) {
    const bool isButton =
        std::find(std::begin(PUSH_BUTTONS), std::end(PUSH_BUTTONS), id) != std::end(PUSH_BUTTONS);
    if (ended_ || !isEnabled(id) || !(isButton || isCheckBox(id))) {
        return false;
    }
    dropped_ = false;
    if (isCheckBox(id)) {
        checks_[id] = !checks_[id];
    }
    notify(id, Notification::Clicked);
    return true;
}

bool InMemoryDialogView::type(int id, std::string_view text) {
    if (ended_) {
        return false;
    }
    if (isEditBox(id)) {
        texts_[id] = text;
        return true;
    }
    if (id != IDC_CONFIG_NAME) {
        return false;
    }
    // The typed text replaces the field's whole content one character at a time, each change
    // notified; typing nothing clears the field, which is one change too.
    const auto change = [this](std::string_view content) {
        comboText_ = content;
        selection_ = dropped_ ? firstBeginningWith(comboText_) : NO_SELECTION;
        notify(IDC_CONFIG_NAME, Notification::EditChanged);
    };
    if (text.empty()) {
        change({});
    }
    for (std::size_t typed = 1; typed <= text.size() && !ended_; ++typed) {
        change(text.substr(0, typed));
    }
    return true;
}

bool InMemoryDialogView::pick(int entryNumber) {
    if (ended_ || entryNumber < 1 || entryNumber > listCount()) {
        return false;
    }
    dropped_ = false;
    selection_ = entryNumber - 1;
    comboText_ = list_[static_cast<std::size_t>(selection_)];
    notify(IDC_CONFIG_NAME, Notification::SelectionChanged);
    return true;
}

bool InMemoryDialogView::drop() {
    if (ended_) {
        return false;
    }
    dropped_ = true;
    return true;
}

std::string InMemoryDialogView::text(int id) const {
    const auto found = texts_.find(id);
    return found == texts_.end() ? std::string() : found->second;
}

void InMemoryDialogView::setText(int id, std::string_view text) {
    texts_[id] = text;
}

bool InMemoryDialogView::checked(int id) const {
    const auto found = checks_.find(id);
    return found != checks_.end() && found->second;
}

void InMemoryDialogView::setChecked(int id, bool checked) {
    checks_[id] = checked;
}

void InMemoryDialogView::resetList() {
    list_.clear();
    selection_ = NO_SELECTION;
    comboText_.clear();
}

void InMemoryDialogView::appendListEntry(std::string_view entry) {
    list_.emplace_back(entry);
}

std::string InMemoryDialogView::listEntry(int index) const {
    if (index < 0 || index >= listCount()) {
        return {};
    }
    return list_[static_cast<std::size_t>(index)];
}

int InMemoryDialogView::firstBeginningWith(std::string_view prefix) const {
    for (std::size_t i = 0; i < list_.size(); ++i) {
        if (beginsWithIgnoreCase(list_[i], prefix)) {
            return static_cast<int>(i);
        }
    }
    return NO_SELECTION;
}

int InMemoryDialogView::selectFirstBeginningWith(std::string_view prefix) {
    const int found = firstBeginningWith(prefix);
    if (found != NO_SELECTION) {
        selection_ = found;
        comboText_ = list_[static_cast<std::size_t>(found)];
    }
    return found;
}

void InMemoryDialogView::endDialog(int code) {
    ended_ = true;
    endCode_ = code;
}

}  // namespace kaptor::control
