#include "cli/options.h"

#include <getopt.h>

#include <cstdio>

namespace kaptor::cli {
namespace {

// Long options without a letter are told apart by values above any character.
constexpr int FIRST_LONG_ONLY = 256;

int valueOf(const OptionDef& def, std::size_t index) {
    return def.letter != 0 ? static_cast<unsigned char>(def.letter)
                           : FIRST_LONG_ONLY + static_cast<int>(index);
}

std::string nameOf(const std::vector<OptionDef>& defs, int value) {
    for (std::size_t i = 0; i < defs.size(); ++i) {
        if (valueOf(defs[i], i) == value) {
            return std::string("--") + defs[i].name;
        }
    }
    return std::string("-") + static_cast<char>(value);
}

// Whether word is "--NAME=VALUE" for the option value, which takes no value.
bool givenAValue(const std::vector<OptionDef>& defs, int value, std::string_view word) {
    if (value == 0 || !word.starts_with("--") || word.find('=') == std::string_view::npos) {
        return false;
    }
    for (std::size_t i = 0; i < defs.size(); ++i) {
        if (valueOf(defs[i], i) == value) {
            return !defs[i].takesValue;
        }
    }
    return false;
}

}  // namespace

std::optional<ParsedArguments> parseArguments(std::string_view what,
                                              const std::vector<std::string>& args,
                                              const std::vector<OptionDef>& defs,
                                              bool stopAtFirstOperand) {
    // "+" stops at the first operand; ":" reports a missing value apart from an unknown option.
    std::string letters = stopAtFirstOperand ? "+:" : ":";
    std::vector<option> longOptions;
    for (std::size_t i = 0; i < defs.size(); ++i) {
        const OptionDef& def = defs[i];
        if (def.letter != 0) {
            letters += def.letter;
            if (def.takesValue) {
                letters += ':';
            }
        }
        longOptions.push_back(
            {def.name, def.takesValue ? required_argument : no_argument, nullptr, valueOf(def, i)});
    }
    longOptions.push_back({nullptr, 0, nullptr, 0});

    // getopt_long reorders its array: it works on copies.
    std::vector<std::string> words{"kaptor"};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    const int argc = static_cast<int>(words.size());

    ParsedArguments parsed;
    optind = 0;  // start afresh: this parser runs more than once per process
    opterr = 0;
    for (;;) {
        const int value =
            getopt_long(argc, argv.data(), letters.c_str(), longOptions.data(), nullptr);
        if (value == -1) {
            break;
        }
        const char* word = optind > 0 ? argv[optind - 1] : "";
        if ((value == '?' || value == ':') && givenAValue(defs, optopt, word)) {
            // "--sim=1": glibc reports it as an unknown option, the mingw-w64 runtime as a
            // missing value; both are an option that takes none given one.
            std::fprintf(stderr, "kaptor: %.*s: option '%s' doesn't allow an argument\n",
                         static_cast<int>(what.size()), what.data(), nameOf(defs, optopt).c_str());
            return std::nullopt;
        }
        if (value == ':') {
            // The option as it was written, "-o" or "--output".
            const std::string name = word[0] == '-' ? word : nameOf(defs, optopt);
            std::fprintf(stderr, "kaptor: %.*s: option %s needs a value\n",
                         static_cast<int>(what.size()), what.data(), name.c_str());
            return std::nullopt;
        }
        if (value == '?') {
            const std::string given =
                optopt != 0 ? std::string("-") + static_cast<char>(optopt) : std::string(word);
            std::fprintf(stderr, "kaptor: %.*s: unknown option '%s'\n",
                         static_cast<int>(what.size()), what.data(), given.c_str());
            return std::nullopt;
        }
        for (std::size_t i = 0; i < defs.size(); ++i) {
            if (valueOf(defs[i], i) == value) {
                parsed.options.push_back({defs[i].id, optarg != nullptr ? optarg : ""});
                break;
            }
        }
    }
    for (int i = optind; i < argc; ++i) {
        parsed.operands.emplace_back(argv[i]);
    }
    return parsed;
}

}  // namespace kaptor::cli
