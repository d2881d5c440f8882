// Everything a person sees or answers: message boxes and the beep. The control shows its texts
// in Windows-1252; each operator converts at its own edge.
#pragma once

#include <string_view>

namespace kaptor::platform {

enum class Buttons { Ok, OkCancel, YesNo };
enum class Icon { None, Exclamation, Question };
// The values the original platform gives its answers.
enum class Answer { Ok = 1, Cancel = 2, Yes = 6, No = 7 };
enum class Beep { Exclamation };

// The answer given when nobody can answer: the one that changes nothing.
constexpr Answer safeAnswer(Buttons buttons) {
    switch (buttons) {
        case Buttons::OkCancel:
            return Answer::Cancel;
        case Buttons::YesNo:
            return Answer::No;
        case Buttons::Ok:
        default:
            return Answer::Ok;
    }
}

class Operator {
  public:
    virtual ~Operator() = default;
    // Shows a message box and waits for the answer.
    virtual Answer messageBox(std::string_view text, Buttons buttons = Buttons::Ok,
                              Icon icon = Icon::None) = 0;
    virtual void beep(Beep kind) = 0;
};

}  // namespace kaptor::platform
