// Arbitrary bytes through the control's configuration files. The first byte splits the input:
// that many bytes (up to 120) are the selector, the rest the file it names (whatever name the
// selector gives, so the reader always gets that far) and, cut at each newline, the folder's
// listing.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "control/config_text.h"
#include "control/configuration_files.h"
#include "control/messages.h"
#include "fuzz/fuzz_input.h"
#include "platform/file_system.h"
#include "platform/scripted_operator.h"
#include "platform/text.h"
#include "tests/support/scripted_find.h"

namespace {

using namespace kaptor;

// Files held in memory: what the reader sees comes from the input.
struct MemoryFileSystem : platform::FileSystem {
    std::map<std::string, std::string> files;  // by folded Windows path
    std::vector<std::string> listing;

    static std::string key(std::string_view path) {
        std::string out(path);
        std::ranges::transform(out, out.begin(), platform::foldCase1252);
        return out;
    }
    std::optional<std::string> readUpTo(std::string_view path, std::size_t max) override {
        const auto it = files.find(key(path));
        return it == files.end() ? std::nullopt : std::optional(it->second.substr(0, max));
    }
    bool exists(std::string_view path) override { return files.contains(key(path)); }
    std::unique_ptr<platform::ReplacementFile> createReplacement(std::string_view) override {
        return nullptr;
    }
    bool remove(std::string_view path) override { return files.erase(key(path)) > 0; }
    std::optional<std::filesystem::path> hostPath(std::string_view) override { return {}; }
    std::unique_ptr<platform::FileFind> findFirst(std::string_view, std::string& name) override {
        return test::scriptedFind(listing, name);
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::size_t split = std::min<std::size_t>(data[0] % 121, size - 1);
    const std::string selector(reinterpret_cast<const char*>(data + 1), split);
    const std::string config(reinterpret_cast<const char*>(data + 1 + split), size - 1 - split);

    MemoryFileSystem files;
    files.files[MemoryFileSystem::key(control::SELECTOR_PATH)] = selector;
    const std::string name = control::parseSelector(selector);
    files.files[MemoryFileSystem::key(std::string(control::CONFIG_FOLDER) + name)] = config;
    files.listing = fuzz::lines(config);
    for (std::string& listed : files.listing) {
        std::erase(listed, '\0');  // no file name holds one
    }
    platform::ScriptedOperator person;
    control::ConfigurationFiles store(files, person);

    control::BoardSettings settings;
    std::string line1;
    std::string line2;
    store.readConfiguration(
        settings, {control::msg::SELECTOR_OPEN_CONTROL, control::msg::CONFIG_OPEN_CONTROL}, &line1,
        &line2);
    // What was read can always be written out again, and reads back to the same numbers.
    const std::string written = control::formatConfiguration(settings, "", "");
    control::BoardSettings again = settings;
    control::parseConfiguration(written, again, line1, line2);
    fuzz::require(again.pixelsPerLine == settings.pixelsPerLine &&
                  again.sensitivity == settings.sensitivity && again.gain == settings.gain);

    // The listing never overruns the name list, and every entry picked from it is one name.
    control::NameList list;
    store.listConfigurations(list);
    fuzz::require(list.text().size() < control::LIST_BUFFER_SIZE && list.listBuffer.back() == '\0');
    for (std::int32_t i = -1; i <= list.listCount + 1; ++i) {
        list.listIndex = i;
        fuzz::require(list.getListEntry().find('+') == std::string::npos);
    }
    for (const std::string& n : files.listing) {
        platform::matchesWildcard(n, "*.TXT");
        platform::matchesWildcard("A.TXT", n);
    }
    return 0;
}
