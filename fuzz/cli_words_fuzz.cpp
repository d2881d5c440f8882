// Arbitrary lines as kaptor's words, each line both a --dialog step and a NAME=VALUE word of
// `config set`: a step is taken or refused with its reason, and a step taken is one of the five
// kinds with what that kind needs; the words are all taken or all refused with a reason, and
// every value taken is one the dialog's own check accepts.
#include <cstddef>
#include <cstdint>
#include <string>

#include "cli/config_assignments.h"
#include "cli/dialog_steps.h"
#include "fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kaptor;
    using cli::DialogStep;
    const auto words = fuzz::lines({reinterpret_cast<const char*>(data), size});
    for (const std::string& text : words) {
        std::string error;
        const auto step = cli::parseDialogStep(text, error);
        if (!step) {
            fuzz::require(!error.empty());
            continue;
        }
        fuzz::require(step->original == text &&
                      (step->kind != DialogStep::Kind::Pick || step->entryNumber >= 1) &&
                      (step->kind == DialogStep::Kind::Type || step->text.empty()));
    }
    const cli::Assignments parsed = cli::parseAssignments(words);
    fuzz::require(parsed.refusal.empty() == (parsed.assignments.size() == words.size()));
    for (const cli::Assignment& a : parsed.assignments) {
        const bool flag = a.entry->conversion == control::Conversion::CheckState;
        fuzz::require(flag ? (a.value == "0" || a.value == "1")
                           : control::convertText(*a.entry, a.value, true).refusal.empty());
    }
    return 0;
}
