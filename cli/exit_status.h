// What kaptor's exit status tells a script.
#pragma once

#include <string>

namespace kaptor::cli {

constexpr int EXIT_DONE = 0;           // the command did all it says
constexpr int EXIT_ENDED = 1;          // the control ended the process after its message
constexpr int EXIT_USAGE = 2;          // the command line was wrong; nothing was done
constexpr int EXIT_FAILURE_SHOWN = 3;  // the control reported a failure and carried on

// Thrown where a command must stop before anything is done: status and the one line that
// says why.
struct Refusal {
    int status;
    std::string message;
};

}  // namespace kaptor::cli
