// Arbitrary --dialog steps, one per line: each is taken or refused with its reason, and a step
// taken is one of the five kinds with what that kind needs.
#include <cstddef>
#include <cstdint>
#include <string>

#include "cli/dialog_steps.h"
#include "fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using kaptor::cli::DialogStep;
    using kaptor::fuzz::require;
    for (const std::string& text : kaptor::fuzz::lines(kaptor::fuzz::text(data, size))) {
        std::string error;
        const auto step = kaptor::cli::parseDialogStep(text, error);
        if (!step) {
            require(!error.empty());
            continue;
        }
        require(step->original == text &&
                (step->kind != DialogStep::Kind::Pick || step->entryNumber >= 1) &&
                (step->kind == DialogStep::Kind::Type || step->text.empty()));
    }
    return 0;
}
