// Arbitrary bytes as the simulated board's replay file: every frame is exactly those bytes,
// whatever they hold and however short.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "boardsim/picture_source.h"
#include "fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kaptor::boardsim;
    // One file per fuzzing process, in memory where the system has a folder for it.
    static const std::string path =
        std::string(::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") +
        "/kaptor-replay-fuzz-" + std::to_string(::getpid());
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr || std::fwrite(data, 1, size, file) != size || std::fclose(file) != 0) {
        return 0;
    }
    std::string error;
    const auto source = makeReplaySource(path, error);
    kaptor::fuzz::require(source != nullptr);
    const BoardRegisters registers;
    const FrameBytes first = source->frame(registers, 0);
    const FrameBytes later = source->frame(registers, 7);
    kaptor::fuzz::require(*first == std::vector<std::uint8_t>(data, data + size) &&
                          *later == *first);
    return 0;
}
