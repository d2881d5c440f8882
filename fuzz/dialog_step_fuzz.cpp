// Arbitrary --dialog steps, one per line: each is taken or refused with its reason, and a step
// taken is one of the five kinds with what that kind needs.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "cli/dialog_steps.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using kaptor::cli::DialogStep;
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    for (std::size_t start = 0; start <= input.size();) {
        const std::size_t end = std::min(input.find('\n', start), input.size());
        const std::string_view text = input.substr(start, end - start);
        std::string error;
        const auto step = kaptor::cli::parseDialogStep(text, error);
        if (!step) {
            if (error.empty()) {
                __builtin_trap();
            }
        } else if (step->original != text ||
                   (step->kind == DialogStep::Kind::Pick && step->entryNumber < 1) ||
                   (step->kind != DialogStep::Kind::Type && !step->text.empty())) {
            __builtin_trap();
        }
        start = end + 1;
    }
    return 0;
}
