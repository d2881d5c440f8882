// The operator the control sees in kaptor: it passes every message box on, counts the failures
// the control reported (every message that is not a question or a notice), silences the beep
// when asked, and keeps a progress line on a terminal out of the way of the messages.
#pragma once

#include <cstdio>
#include <string>

#include "platform/operator.h"

namespace kaptor::cli {

class WatchingOperator : public platform::Operator {
  public:
    // progress: the terminal for the progress line, or nullptr for none.
    WatchingOperator(platform::Operator& inner, bool quiet, std::FILE* progress)
        : inner_(inner), quiet_(quiet), progress_(progress) {}

    platform::Answer messageBox(std::string_view text, platform::Buttons buttons,
                                platform::Icon icon) override;
    void beep(platform::Beep kind) override;

    int failuresShown() const { return failures_; }

    void showProgress(const std::string& text);
    void clearProgress();

  private:
    platform::Operator& inner_;
    bool quiet_;
    std::FILE* progress_;
    bool progressShown_ = false;
    int failures_ = 0;
};

}  // namespace kaptor::cli
