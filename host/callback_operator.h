// The operator a program's session gives the control: message boxes go to the program's
// callbacks in UTF-8 with their number parsed out, questions get the program's answer or the
// safe one, and the last message is kept for the error that may follow it.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "kaptor/kaptor.h"
#include "platform/operator.h"

namespace kaptor::host {

// The number a message carries: "(E: 402)" gives 402, "(899)" gives 899; 0 when none.
int messageCode(std::string_view text);

class CallbackOperator : public platform::Operator {
  public:
    CallbackOperator(std::function<void(const Message&)> onMessage,
                     std::function<bool(const Message&)> onQuestion)
        : onMessage_(std::move(onMessage)), onQuestion_(std::move(onQuestion)) {}

    platform::Answer messageBox(std::string_view text, platform::Buttons buttons,
                                platform::Icon icon) override;
    void beep(platform::Beep) override {}

    // A note of the host's own, to the message callback (it is not the control's message).
    void tell(const Message& note) {
        if (onMessage_) {
            onMessage_(note);
        }
    }

    // The next question gets answer, whatever the callback would say; cleared with nullopt.
    void answerNext(std::optional<platform::Answer> answer) { next_ = answer; }

    // The last message box that was not a question, and how many there were.
    const Message& lastMessage() const { return last_; }
    int messagesShown() const { return shown_; }

  private:
    std::function<void(const Message&)> onMessage_;
    std::function<bool(const Message&)> onQuestion_;
    Message last_;
    int shown_ = 0;
    std::optional<platform::Answer> next_;
};

}  // namespace kaptor::host
