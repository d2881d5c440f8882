#include "platform/console_operator.h"

#include <unistd.h>

#include <string>

#include "platform/text.h"

namespace kaptor::platform {
namespace {

bool fits(Answer answer, Buttons buttons) {
    switch (buttons) {
        case Buttons::OkCancel:
            return answer == Answer::Ok || answer == Answer::Cancel;
        case Buttons::YesNo:
            return answer == Answer::Yes || answer == Answer::No;
        case Buttons::Ok:
        default:
            return answer == Answer::Ok;
    }
}

const char* answerName(Answer answer) {
    switch (answer) {
        case Answer::Ok:
            return "ok";
        case Answer::Cancel:
            return "cancel";
        case Answer::Yes:
            return "yes";
        case Answer::No:
        default:
            return "no";
    }
}

}  // namespace

ConsoleOperator::ConsoleOperator(std::FILE* output, std::istream* input, std::deque<Answer> answers)
    : output_(output), input_(input), answers_(std::move(answers)) {}

Answer ConsoleOperator::messageBox(std::string_view text, Buttons buttons, Icon) {
    std::fprintf(output_, "KAPTORAX: %s\n", cp1252ToUtf8(text).c_str());
    std::fflush(output_);
    if (buttons == Buttons::Ok) {
        return Answer::Ok;
    }
    return ask(buttons);
}

Answer ConsoleOperator::ask(Buttons buttons) {
    while (!answers_.empty()) {
        const Answer answer = answers_.front();
        answers_.pop_front();
        if (fits(answer, buttons)) {
            return answer;
        }
        std::fprintf(output_, "kaptor: answer '%s' does not fit this question; skipped\n",
                     answerName(answer));
    }
    const bool yesNo = buttons == Buttons::YesNo;
    if (input_ != nullptr) {
        for (;;) {
            std::fprintf(output_, "kaptor: answer %s: ", yesNo ? "yes/no" : "ok/cancel");
            std::fflush(output_);
            std::string line;
            if (!std::getline(*input_, line)) {
                break;
            }
            for (Answer candidate : {Answer::Ok, Answer::Cancel, Answer::Yes, Answer::No}) {
                if (line == answerName(candidate) && fits(candidate, buttons)) {
                    return candidate;
                }
            }
        }
    }
    const Answer safe = safeAnswer(buttons);
    std::fprintf(output_, "kaptor: no answer given; taking '%s'\n", answerName(safe));
    std::fflush(output_);
    return safe;
}

void ConsoleOperator::beep(Beep) {
    if (::isatty(::fileno(output_)) != 0) {
        std::fputc('\a', output_);
        std::fflush(output_);
    }
}

}  // namespace kaptor::platform
