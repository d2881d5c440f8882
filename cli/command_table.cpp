#include <cstdio>
#include <cstring>

#include "cli/commands.h"
#include "cli/exit_status.h"
#include "cli/usage.h"

namespace kaptor::cli {
namespace {

enum GlobalOption { ANSWER = 1000, SIM, QUIET, DIALOG, HELP, VERSION, DEVICE };

const Command COMMANDS[] = {
    {"capture", USAGE_CAPTURE, runCapture},
    {"config", USAGE_CONFIG, runConfig},
    {"devices", USAGE_DEVICES, runDevices},
    {"invoke", USAGE_INVOKE, runInvoke},
    {"set", USAGE_SET, runSet},
};

bool parseAnswer(const std::string& text, platform::Answer& answer) {
    const struct {
        const char* name;
        platform::Answer answer;
    } names[] = {{"ok", platform::Answer::Ok},
                 {"cancel", platform::Answer::Cancel},
                 {"yes", platform::Answer::Yes},
                 {"no", platform::Answer::No}};
    for (const auto& n : names) {
        if (text == n.name) {
            answer = n.answer;
            return true;
        }
    }
    return false;
}

}  // namespace

std::span<const Command> commands() {
    return COMMANDS;
}

const Command* findCommand(const std::string& name) {
    for (const Command& command : COMMANDS) {
        if (name == command.name) {
            return &command;
        }
    }
    return nullptr;
}

const std::vector<OptionDef>& globalOptions() {
    static const std::vector<OptionDef> defs = {
        {"answer", 0, true, ANSWER}, {"sim", 0, false, SIM},     {"quiet", 'q', false, QUIET},
        {"dialog", 0, true, DIALOG}, {"help", 'h', false, HELP}, {"version", 0, false, VERSION},
        {"device", 0, true, DEVICE},
    };
    return defs;
}

bool applyGlobalOption(const ParsedOption& option, HostOptions& options, const char* usage,
                       bool& stop, int& status) {
    switch (option.id) {
        case ANSWER: {
            platform::Answer answer{};
            if (!parseAnswer(option.value, answer)) {
                std::fprintf(stderr, "kaptor: --answer: '%s' is not ok, cancel, yes or no\n",
                             option.value.c_str());
                return false;
            }
            options.answers.push_back(answer);
            return true;
        }
        case SIM:
            options.simulator = true;
            return true;
        case QUIET:
            options.quiet = true;
            return true;
        case DEVICE:
            if (option.value.empty()) {
                std::fprintf(stderr, "kaptor: --device: the board's serial number is empty\n");
                return false;
            }
            options.device = option.value;
            return true;
        case DIALOG: {
            std::string error;
            const auto step = parseDialogStep(option.value, error);
            if (!step) {
                std::fprintf(stderr, "kaptor: %s\n", error.c_str());
                return false;
            }
            options.dialogSteps.push_back(*step);
            return true;
        }
        case HELP:
            std::fputs(usage, stdout);
            stop = true;
            status = EXIT_DONE;
            return true;
        case VERSION:
            std::printf("kaptor %s\n", KAPTOR_VERSION);
            stop = true;
            status = EXIT_DONE;
            return true;
        default:
            return true;
    }
}

std::optional<CommandLine> parseCommandLine(const Command& command, const Arguments& args,
                                            const std::vector<OptionDef>& own, HostOptions& options,
                                            int& status) {
    std::vector<OptionDef> defs = own;
    defs.insert(defs.end(), globalOptions().begin(), globalOptions().end());
    const auto parsed = parseArguments(command.name, args, defs);
    if (!parsed) {
        std::fprintf(stderr, "Try 'kaptor %s --help'.\n", command.name);
        status = EXIT_USAGE;
        return std::nullopt;
    }
    CommandLine line;
    line.operands = parsed->operands;
    bool stop = false;
    for (const ParsedOption& option : parsed->options) {
        const bool global = option.id >= ANSWER && option.id <= VERSION;
        if (!global) {
            line.options.push_back(option);
        } else if (!applyGlobalOption(option, options, command.usage, stop, status)) {
            status = EXIT_USAGE;
            return std::nullopt;
        } else if (stop) {
            return std::nullopt;
        }
    }
    return line;
}

}  // namespace kaptor::cli
