// The name list of the configuration folder: names each followed by "+", in a 3000-byte
// zero-terminated buffer that is never written past.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace kaptor::control {

constexpr std::size_t LIST_BUFFER_SIZE = 3000;

struct NameList {
    std::int32_t listIndex = 0;
    std::int32_t listCount = 0;
    std::array<char, LIST_BUFFER_SIZE> listBuffer{};

    std::string_view text() const;
    void clear();
    // Appends name and "+" when both fit whole before the terminating zero; false otherwise,
    // and the buffer is unchanged.
    bool append(std::string_view name);
    // The listIndex-th name, counting from 1; empty beyond the last name and for 0 or less.
    std::string getListEntry() const;
};

}  // namespace kaptor::control
