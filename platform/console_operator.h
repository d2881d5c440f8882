// The operator of a headless host: every message box is one line on standard error, "KAPTORAX: "
// and the text in UTF-8. Questions take the answers given in advance, in order; then the
// terminal's, when there is one; else the safe answer.
#pragma once

#include <cstdio>
#include <deque>
#include <istream>

#include "platform/operator.h"

namespace kaptor::platform {

class ConsoleOperator : public Operator {
  public:
    // input is the terminal to ask, or nullptr when there is none.
    ConsoleOperator(std::FILE* output, std::istream* input, std::deque<Answer> answers = {});

    Answer messageBox(std::string_view text, Buttons buttons, Icon icon) override;
    void beep(Beep kind) override;

  private:
    Answer ask(Buttons buttons);

    std::FILE* output_;
    std::istream* input_;
    std::deque<Answer> answers_;
};

}  // namespace kaptor::platform
