// Arbitrary -o patterns at arbitrary times: the expansion ends, stays within its cap, and says
// why whenever it refuses. The first eight bytes give the time and the capture's number.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "cli/output_pattern.h"
#include "fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kaptor::cli;
    if (size < 8) {
        return 0;
    }
    std::tm when{};
    // Any field in or out of its range, as a broken clock might give them.
    when.tm_year = static_cast<std::int8_t>(data[0]) * 40;
    when.tm_mon = data[1] % 14 - 1;
    when.tm_mday = data[2] % 33;
    when.tm_wday = data[3] % 9 - 1;
    when.tm_yday = data[4] * 2 - 10;
    when.tm_hour = data[5] % 26;
    when.tm_min = data[6] % 62;
    when.tm_sec = data[7] % 62;
    int number = 0;
    std::memcpy(&number, data + 1, sizeof number);
    const std::string pattern(reinterpret_cast<const char*>(data + 8), size - 8);
    std::string error;
    const auto path = expandOutputPattern(pattern, when, number, error);
    kaptor::fuzz::require(path ? path->size() <= MAX_OUTPUT_PATH : !error.empty());
    return 0;
}
