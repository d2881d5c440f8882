// The commands of kaptor: a table of names, each with its usage text and its own parser. A new
// command is one more row; a new global option is one more row of globalOptions().
#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "cli/host.h"
#include "cli/options.h"

namespace kaptor::cli {

using Arguments = std::vector<std::string>;

struct Command {
    const char* name;
    const char* usage;
    // args: everything after the command's name; options: the global options seen before it.
    int (*run)(const Arguments& args, HostOptions options);
};

std::span<const Command> commands();
const Command* findCommand(const std::string& name);

// Options that every command takes, before or after its name.
const std::vector<OptionDef>& globalOptions();

// The command's own options and operands, with the global options among them applied to
// options. Nothing when the command line is wrong (said on standard error) or when help or the
// version was asked for (then printed): status tells the exit status for that case.
struct CommandLine {
    std::vector<ParsedOption> options;
    std::vector<std::string> operands;
};
std::optional<CommandLine> parseCommandLine(const Command& command, const Arguments& args,
                                            const std::vector<OptionDef>& own, HostOptions& options,
                                            int& status);

// Applies one global option; false (said on standard error) when its value is wrong. Sets
// status and returns true with stop set when the option answers by itself (--help, --version).
bool applyGlobalOption(const ParsedOption& option, HostOptions& options, const char* usage,
                       bool& stop, int& status);

// One line on standard error for a method that failed and left the failure to its caller.
void reportMethodError(const automation::ExceptionInfo& failure);

// Calls the method through the control's dispatch table, as every host does; false, after
// reportMethodError, when it failed and left that to its caller.
bool callMethod(control::CKAPTORAXCtrl& ctrl, automation::DispId method);

int runConfig(const Arguments& args, HostOptions options);
int runInvoke(const Arguments& args, HostOptions options);
int runCapture(const Arguments& args, HostOptions options);
int runDevices(const Arguments& args, HostOptions options);
int runSet(const Arguments& args, HostOptions options);

}  // namespace kaptor::cli
