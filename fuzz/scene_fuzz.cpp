// Arbitrary bytes as the simulated board's scene file (BMP or PGM): a picture is read or
// refused with a reason, and a picture read can be sampled anywhere over a whole frame.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "boardsim/picture_source.h"
#include "fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kaptor::boardsim;
    const std::vector<std::uint8_t> bytes(data, data + size);
    std::string error;
    const auto scene = parseScene(bytes, "scene", error);
    if (!scene) {
        kaptor::fuzz::require(!error.empty());
        return 0;
    }
    // A narrow interlaced frame that reaches past every edge of the picture.
    BoardRegisters registers;
    registers.activePixels = 40;
    registers.activeLines = 540;
    registers.pllTotal = 40;
    registers.horizontalPosition = 0;
    registers.verticalPosition = 10;
    registers.frontEnd[7] = 128;
    registers.frontEnd[10] = 64;
    kaptor::fuzz::require(sampleFrame(*scene, registers, 0).size() == 40u * 540u);
    return 0;
}
