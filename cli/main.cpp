// kaptor: hosts the KAPTORAX capture control without windows, for scripts and servers.
#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>

#include "cli/commands.h"
#include "cli/exit_status.h"
#include "cli/usage.h"

namespace {

using namespace kaptor::cli;

int run(const Arguments& args, const char* programName) {
    HostOptions options;
    options.programName = programName != nullptr ? programName : "";
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

// A standard stream that was closed when kaptor started gets a descriptor that takes no
// writes: no file kaptor opens later can take its number and receive its output, and what is
// written to it fails, as it would have.
void holdClosedStandardStreams() {
#ifndef _WIN32
    for (int fd = 0; fd <= 2; ++fd) {
        if (::fcntl(fd, F_GETFD) == -1 && errno == EBADF) {
            const int held = ::open("/dev/null", O_RDONLY);
            if (held >= 0 && held != fd) {
                ::dup2(held, fd);
                ::close(held);
            }
        }
    }
#endif
}

// Whatever was printed has reached standard output; else says so (the status tells it too,
// as with the system's own tools).
bool standardOutputWritten() {
    errno = 0;
    if (std::fflush(stdout) == 0 && std::ferror(stdout) == 0) {
        return true;
    }
    std::fprintf(stderr, "kaptor: write error on standard output%s%s\n", errno != 0 ? ": " : "",
                 errno != 0 ? std::strerror(errno) : "");
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    holdClosedStandardStreams();
    int status = EXIT_DONE;
    try {
        status = run(Arguments(argv + 1, argv + argc), argc > 0 ? argv[0] : nullptr);
    } catch (const Refusal& refusal) {
        std::fprintf(stderr, "%s\n", refusal.message.c_str());
        status = refusal.status;
    } catch (const std::exception& error) {
        // Whatever the control or the host could not handle ends kaptor with its words, never
        // with an abort.
        std::fprintf(stderr, "kaptor: stopped: %s\n", error.what());
        status = EXIT_FAILURE_SHOWN;
    }
    if (!standardOutputWritten() && status == EXIT_DONE) {
        status = EXIT_FAILURE_SHOWN;
    }
    return status;
}
