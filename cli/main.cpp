// kaptor: hosts the KAPTORAX capture control without windows, for scripts and servers.
#include <cstdio>
#include <string>

#include "cli/commands.h"
#include "cli/exit_status.h"
#include "cli/usage.h"

namespace {

using namespace kaptor::cli;

int run(const Arguments& args) {
    HostOptions options;
    // The global options before the command; the command parses the rest.
    const auto parsed = parseArguments("options", args, globalOptions(), true);
    if (!parsed) {
        std::fputs("Try 'kaptor --help'.\n", stderr);
        return EXIT_USAGE;
    }
    for (const ParsedOption& option : parsed->options) {
        bool stop = false;
        int status = EXIT_DONE;
        if (!applyGlobalOption(option, options, USAGE_MAIN, stop, status)) {
            return EXIT_USAGE;
        }
        if (stop) {
            return status;
        }
    }
    if (parsed->operands.empty()) {
        std::fputs(USAGE_MAIN, stderr);
        return EXIT_USAGE;
    }
    const std::string& name = parsed->operands.front();
    const Command* command = findCommand(name);
    if (command == nullptr) {
        std::fprintf(stderr, "kaptor: unknown command '%s'\nTry 'kaptor --help'.\n", name.c_str());
        return EXIT_USAGE;
    }
    return command->run(Arguments(parsed->operands.begin() + 1, parsed->operands.end()),
                        std::move(options));
}

}  // namespace

int main(int argc, char** argv) {
    try {
        return run(Arguments(argv + 1, argv + argc));
    } catch (const Refusal& refusal) {
        std::fprintf(stderr, "%s\n", refusal.message.c_str());
        return refusal.status;
    }
}
