// Command-line options the GNU way (getopt_long, which glibc and the mingw-w64 runtime both
// ship): options and operands in any order, "--" ends the options, "--name=value" and "-xVALUE"
// work, and a long name may be shortened while it stays unique.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kaptor::cli {

struct OptionDef {
    const char* name;  // long name, without "--"
    char letter;       // short name, or 0
    bool takesValue;
    int id;
};

struct ParsedOption {
    int id;
    std::string value;
};

struct ParsedArguments {
    std::vector<ParsedOption> options;  // in the order given
    std::vector<std::string> operands;
};

// Parses args (without the program's name). stopAtFirstOperand leaves everything from the
// first operand on as operands. On a wrong option writes "kaptor: WHAT: ..." to standard error
// and returns nothing.
std::optional<ParsedArguments> parseArguments(std::string_view what,
                                              const std::vector<std::string>& args,
                                              const std::vector<OptionDef>& defs,
                                              bool stopAtFirstOperand = false);

}  // namespace kaptor::cli
