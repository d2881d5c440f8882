// Arbitrary bytes as the simulated board's files. As a scene (BMP or PGM) a picture is read or
// refused with a reason, and a picture read can be sampled anywhere over a whole frame; as a
// replay file every frame is exactly those bytes, whatever they hold and however short.
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
    const std::vector<std::uint8_t> bytes(data, data + size);
    std::string error;
    if (const auto scene = parseScene(bytes, "scene", error)) {
        // A narrow interlaced frame that reaches past every edge of the picture.
        // Pixels, horizontal position, lines, vertical position, PLL total.
        BoardRegisters registers{40, 0, 540, 10, 40};
        registers.frontEnd[7] = 128;
        registers.frontEnd[10] = 64;
        kaptor::fuzz::require(sampleFrame(*scene, registers, 0).size() == 40u * 540u);
    } else {
        kaptor::fuzz::require(!error.empty());
    }

    // One replay file per fuzzing process, in memory where the system has a folder for it.
    static const std::string path =
        std::string(::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") +
        "/kaptor-replay-fuzz-" + std::to_string(::getpid());
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr || std::fwrite(data, 1, size, file) != size || std::fclose(file) != 0) {
        return 0;
    }
    const auto source = makeReplaySource(path, error);
    kaptor::fuzz::require(source != nullptr);
    const BoardRegisters registers;
    const FrameBytes first = source->frame(registers, 0);
    const FrameBytes later = source->frame(registers, 7);
    kaptor::fuzz::require(*first == bytes && *later == *first);
    return 0;
}
