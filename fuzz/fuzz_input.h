// What every fuzz target shares: its input as lines, and the stop when a promise
// breaks (libFuzzer keeps the input that did it).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace kaptor::fuzz {

inline void require(bool promise) {
    if (!promise) {
        __builtin_trap();
    }
}

// The input cut at each newline; n newlines give n + 1 lines.
inline std::vector<std::string> lines(std::string_view input) {
    std::vector<std::string> out;
    for (std::size_t start = 0;;) {
        const std::size_t end = input.find('\n', start);
        out.emplace_back(input.substr(start, end - start));
        if (end == std::string_view::npos) {
            return out;
        }
        start = end + 1;
    }
}

}  // namespace kaptor::fuzz
