// The operator of tests: records every message box and beep in order and answers questions from
// a queue (the safe answer when the queue is empty).
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/operator.h"

namespace kaptor::platform {

struct ShownMessage {
    std::string text;
    Buttons buttons = Buttons::Ok;
    Icon icon = Icon::None;
};

class ScriptedOperator : public Operator {
  public:
    Answer messageBox(std::string_view text, Buttons buttons, Icon icon) override;
    void beep(Beep kind) override;

    void queueAnswer(Answer answer) { answers_.push_back(answer); }
    // Called for every message box before it is answered (a test can act "while it is open").
    void onMessage(std::function<void(const ShownMessage&)> hook) { hook_ = std::move(hook); }

    const std::vector<ShownMessage>& messages() const { return messages_; }
    std::vector<std::string> texts() const;
    int beeps() const { return beeps_; }
    // Messages and beeps in one ordered log ("BEEP" for a beep).
    const std::vector<std::string>& events() const { return events_; }
    void clear();

  private:
    std::deque<Answer> answers_;
    std::vector<ShownMessage> messages_;
    std::vector<std::string> events_;
    std::function<void(const ShownMessage&)> hook_;
    int beeps_ = 0;
};

}  // namespace kaptor::platform
