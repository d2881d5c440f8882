// Arbitrary NAME=VALUE words for `config set`, one per line: the words are all taken or all
// refused with a reason, and every value taken is one the dialog's own check accepts.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "cli/config_assignments.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kaptor;
    std::vector<std::string> words;
    std::string word;
    for (std::size_t i = 0; i <= size; ++i) {
        if (i == size || data[i] == '\n') {
            words.push_back(word);
            word.clear();
        } else {
            word.push_back(static_cast<char>(data[i]));
        }
    }
    const cli::Assignments parsed = cli::parseAssignments(words);
    if (parsed.refusal.empty() != (parsed.assignments.size() == words.size())) {
        __builtin_trap();
    }
    for (const cli::Assignment& a : parsed.assignments) {
        const bool flag = a.entry->conversion == control::Conversion::CheckState;
        if (flag ? (a.value != "0" && a.value != "1")
                 : !control::convertText(*a.entry, a.value, true).refusal.empty()) {
            __builtin_trap();
        }
    }
    return 0;
}
