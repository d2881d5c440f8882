// Arbitrary NAME=VALUE words for `config set`, one per line: the words are all taken or all
// refused with a reason, and every value taken is one the dialog's own check accepts.
#include <cstddef>
#include <cstdint>

#include "cli/config_assignments.h"
#include "fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kaptor;
    const auto words = fuzz::lines(fuzz::text(data, size));
    const cli::Assignments parsed = cli::parseAssignments(words);
    fuzz::require(parsed.refusal.empty() == (parsed.assignments.size() == words.size()));
    for (const cli::Assignment& a : parsed.assignments) {
        const bool flag = a.entry->conversion == control::Conversion::CheckState;
        fuzz::require(flag ? (a.value == "0" || a.value == "1")
                           : control::convertText(*a.entry, a.value, true).refusal.empty());
    }
    return 0;
}
