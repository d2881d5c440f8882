// Files held in memory, for the fuzz targets: what the reader sees comes from the input.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/text.h"

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
        struct Find : platform::FileFind {
            std::vector<std::string> names;
            std::size_t next_ = 1;
            std::uint32_t next(std::string& n) override {
                if (next_ >= names.size()) {
                    return platform::ERROR_NO_MORE_FILES;
                }
                n = names[next_++];
                return platform::FIND_OK;
            }
            bool close() override { return true; }
        };
        if (listing.empty()) {
            return nullptr;
        }
        auto find = std::make_unique<Find>();
        find->names = listing;
        name = listing.front();
        return find;
    }
};

class SilentOperator : public platform::Operator {
  public:
    platform::Answer messageBox(std::string_view, platform::Buttons buttons,
                                platform::Icon) override {
        return platform::safeAnswer(buttons);
    }
    void beep(platform::Beep) override {}
};

}  // namespace kaptor::fuzz
