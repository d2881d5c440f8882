#include "cli/watching_operator.h"

#include "control/messages.h"

namespace kaptor::cli {

platform::Answer WatchingOperator::messageBox(std::string_view text, platform::Buttons buttons,
                                              platform::Icon icon) {
    clearProgress();
    // Questions ask; the test-picture notice announces. Every other message reports a failure.
    if (buttons == platform::Buttons::Ok && text != control::msg::TEST_IMAGE) {
        ++failures_;
    }
    return inner_.messageBox(text, buttons, icon);
}

void WatchingOperator::beep(platform::Beep kind) {
    if (!quiet_) {
        clearProgress();
        inner_.beep(kind);
    }
}

void WatchingOperator::showProgress(const std::string& text) {
    if (progress_ == nullptr || quiet_) {
        return;
    }
    std::fprintf(progress_, "\r%s\033[K", text.c_str());
    std::fflush(progress_);
    progressShown_ = true;
}

void WatchingOperator::clearProgress() {
    if (progressShown_) {
        std::fputs("\r\033[K", progress_);
        std::fflush(progress_);
        progressShown_ = false;
    }
}

}  // namespace kaptor::cli
