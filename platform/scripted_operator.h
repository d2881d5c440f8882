// The operator of tests: records every message box and beep in order and answers questions from
// a queue (the safe answer when the queue is empty).
#pragma once

#include <deque>
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
    const std::vector<ShownMessage>& messages() const { return messages_; }
    std::vector<std::string> texts() const;
    int beeps() const { return beeps_; }
    // Messages and beeps in one ordered log ("BEEP" for a beep).
    const std::vector<std::string>& events() const { return events_; }

  private:
    std::deque<Answer> answers_;
    std::vector<ShownMessage> messages_;
    std::vector<std::string> events_;
    int beeps_ = 0;
};

}  // namespace kaptor::platform
