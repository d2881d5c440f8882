// A folder listing given by a test (or a fuzz input) instead of a real folder.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace kaptor::test {

// What FileSystem::findFirst gives for names: the first into first, the rest one per next(),
// then endCode; close() fails when closeFails. No names: no listing (nullptr).
inline std::unique_ptr<platform::FileFind> scriptedFind(
    const std::vector<std::string>& names, std::string& first,
    std::uint32_t endCode = platform::ERROR_NO_MORE_FILES, bool closeFails = false) {
    struct Find : platform::FileFind {
        Find(std::vector<std::string> n, std::uint32_t e, bool c)
            : names(std::move(n)), endCode(e), closeFails(c) {}
        std::vector<std::string> names;
        std::uint32_t endCode;
        bool closeFails;
        std::size_t next_ = 1;
        std::uint32_t next(std::string& name) override {
            if (next_ >= names.size()) {
                return endCode;
            }
            name = names[next_++];
            return platform::FIND_OK;
        }
        bool close() override { return !closeFails; }
    };
    if (names.empty()) {
        return nullptr;
    }
    first = names.front();
    return std::make_unique<Find>(names, endCode, closeFails);
}

}  // namespace kaptor::test
