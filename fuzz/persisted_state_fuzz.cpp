// Arbitrary bytes as the stream a host hands the control's IPersistStream::Load: the reader
// reads at most its 16 bytes, refuses what is short or newer, and what it takes writes back to
// the very bytes it came from.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>

#include "control/com/persisted_state.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kaptor::com;
    // Load reads no more than this from the stream.
    const std::span<const std::uint8_t> bytes(data, std::min(size, PERSISTED_SIZE));
    PersistedState state;
    switch (decodeState(bytes, state)) {
        case LoadProblem::None:
            if (bytes.size() != PERSISTED_SIZE || !isLoadableVersion(state.version) ||
                !std::ranges::equal(encodeState(state), bytes)) {
                __builtin_trap();
            }
            break;
        case LoadProblem::NewerVersion:
            if (bytes.size() < 4) {
                __builtin_trap();
            }
            break;
        case LoadProblem::Truncated:
            if (bytes.size() >= PERSISTED_SIZE) {
                __builtin_trap();
            }
            break;
    }
    return 0;
}
