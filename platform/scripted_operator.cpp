#include "platform/scripted_operator.h"

namespace kaptor::platform {

Answer ScriptedOperator::messageBox(std::string_view text, Buttons buttons, Icon icon) {
    messages_.push_back({std::string(text), buttons, icon});
    events_.emplace_back(text);
    if (buttons == Buttons::Ok) {
        return Answer::Ok;
    }
    if (answers_.empty()) {
        return safeAnswer(buttons);
    }
    const Answer answer = answers_.front();
    answers_.pop_front();
    return answer;
}

void ScriptedOperator::beep(Beep) {
    ++beeps_;
    events_.emplace_back("BEEP");
}

std::vector<std::string> ScriptedOperator::texts() const {
    std::vector<std::string> out;
    for (const auto& message : messages_) {
        out.push_back(message.text);
    }
    return out;
}

}  // namespace kaptor::platform
