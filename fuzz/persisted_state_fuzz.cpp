// Arbitrary bytes as the stream a host hands the control's IPersistStream::Load: the reader
// reads at most its 16 bytes, refuses what is short or newer, and what it takes writes back to
// the very bytes it came from.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>

#include "control/com/persisted_state.h"
#include "fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kaptor::com;
    // Load reads no more than this from the stream.
    const std::span<const std::uint8_t> bytes(data, std::min(size, PERSISTED_SIZE));
    PersistedState state;
    switch (decodeState(bytes, state)) {
        case LoadProblem::None:
            kaptor::fuzz::require(bytes.size() == PERSISTED_SIZE &&
                                  isLoadableVersion(state.version) &&
                                  std::ranges::equal(encodeState(state), bytes));
            break;
        case LoadProblem::NewerVersion:
            kaptor::fuzz::require(bytes.size() >= 4);
            break;
        case LoadProblem::Truncated:
            kaptor::fuzz::require(bytes.size() < PERSISTED_SIZE);
            break;
    }
    return 0;
}
