// Files held in memory, for the fuzz targets: what the reader sees comes from the input.
// Their operator is platform::ScriptedOperator, which gives the safe answer to every question.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/text.h"
#include "tests/support/scripted_find.h"

namespace kaptor::fuzz {

class MemoryFileSystem : public platform::FileSystem {
  public:
    std::map<std::string, std::string> files;  // by folded Windows path
    std::vector<std::string> listing;

    static std::string key(std::string_view path) {
        std::string out(path);
        for (char& c : out) {
            c = platform::foldCase1252(c);
        }
        return out;
    }
    std::optional<std::string> readUpTo(std::string_view path, std::size_t max) override {
        const auto it = files.find(key(path));
        if (it == files.end()) {
            return std::nullopt;
        }
        return it->second.substr(0, max);
    }
    bool exists(std::string_view path) override { return files.contains(key(path)); }
    std::unique_ptr<platform::ReplacementFile> createReplacement(std::string_view) override {
        return nullptr;
    }
    bool remove(std::string_view path) override { return files.erase(key(path)) > 0; }
    std::optional<std::filesystem::path> hostPath(std::string_view) override {
        return std::nullopt;
    }
    std::unique_ptr<platform::FileFind> findFirst(std::string_view, std::string& name) override {
        return test::scriptedFind(listing, name);
    }
};

}  // namespace kaptor::fuzz
