// kaptor: hosts the KAPTORAX capture control without windows, for scripts and servers.
#include <cstdio>
#include <cstring>
#include <string>

#include "cli/commands.h"
#include "cli/dialog_commands.h"
#include "cli/usage.h"

namespace {

using kaptor::cli::Arguments;
using kaptor::platform::Answer;

bool parseAnswer(const std::string& text, Answer& answer) {
    if (text == "ok") {
        answer = Answer::Ok;
    } else if (text == "cancel") {
        answer = Answer::Cancel;
    } else if (text == "yes") {
        answer = Answer::Yes;
    } else if (text == "no") {
        answer = Answer::No;
    } else {
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    kaptor::cli::HostOptions options;
    std::string command;
    Arguments rest;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--answer" || arg.rfind("--answer=", 0) == 0) {
            std::string value;
            if (arg == "--answer") {
                if (i + 1 >= argc) {
                    std::fprintf(stderr, "kaptor: --answer needs ok, cancel, yes or no\n");
                    return 2;
                }
                value = argv[++i];
            } else {
                value = arg.substr(std::strlen("--answer="));
            }
            Answer answer{};
            if (!parseAnswer(value, answer)) {
                std::fprintf(stderr, "kaptor: --answer: '%s' is not ok, cancel, yes or no\n",
                             value.c_str());
                return 2;
            }
            options.answers.push_back(answer);
        } else if (arg == "--dialog") {
            std::string error;
            const auto step =
                i + 1 < argc ? kaptor::cli::parseDialogStep(argv[++i], error) : std::nullopt;
            if (!step) {
                std::fprintf(stderr, "kaptor: %s\n",
                             error.empty() ? "--dialog needs a step" : error.c_str());
                return 2;
            }
            options.dialogSteps.push_back(*step);
        } else if (arg == "--sim") {
            options.simulator = true;
        } else if (command.empty() && (arg == "--help" || arg == "-h")) {
            std::fputs(kaptor::cli::USAGE_MAIN, stdout);
            return 0;
        } else if (command.empty()) {
            command = arg;
        } else {
            rest.push_back(arg);
        }
    }
    if (command == "config" && !rest.empty() && rest[0] == "set" && rest.size() > 1) {
        return kaptor::cli::runConfigSetCommand({rest.begin() + 1, rest.end()}, std::move(options));
    }
    if (command == "config") {
        return kaptor::cli::runConfig(rest, std::move(options));
    }
    if (command == "invoke") {
        return kaptor::cli::runInvoke(rest, std::move(options));
    }
    if (command == "set") {
        if (rest.size() > 1 || (rest.size() == 1 && rest[0] != "--init")) {
            std::fprintf(stderr, "kaptor: set takes only --init\n");
            return 2;
        }
        return kaptor::cli::runSetCommand(std::move(options), rest.size() == 1);
    }
    if (command == "capture") {
        return kaptor::cli::runCapture(rest, std::move(options));
    }
    if (command.empty()) {
        std::fputs(kaptor::cli::USAGE_MAIN, stderr);
    } else {
        std::fprintf(stderr, "kaptor: unknown command '%s'\n%s", command.c_str(),
                     kaptor::cli::USAGE_MAIN);
    }
    return 2;
}
