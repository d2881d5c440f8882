// Arbitrary folder listings (names separated by newlines) into the name list, and every entry
// picked from it: the buffer is never overrun and the count always matches what it holds.
#include <cstddef>
#include <cstdint>
#include <string>

#include "control/configuration_files.h"
#include "fuzz/memory_file_system.h"
#include "platform/file_system.h"
#include "platform/scripted_operator.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kaptor;
    fuzz::MemoryFileSystem files;
    std::string name;
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == '\n') {
            files.listing.push_back(name);
            name.clear();
        } else if (data[i] != 0) {
            name.push_back(static_cast<char>(data[i]));
        }
    }
    files.listing.push_back(name);
    platform::ScriptedOperator person;
    control::ConfigurationFiles store(files, person);
    control::NameList list;
    store.listConfigurations(list);
    if (list.text().size() >= control::LIST_BUFFER_SIZE || list.listBuffer.back() != '\0') {
        __builtin_trap();
    }
    for (std::int32_t i = -1; i <= list.listCount + 1; ++i) {
        list.listIndex = i;
        const std::string entry = list.getListEntry();
        if (entry.find('+') != std::string::npos) {
            __builtin_trap();
        }
    }
    for (const std::string& n : files.listing) {
        platform::matchesWildcard(n, "*.TXT");
        platform::matchesWildcard("A.TXT", n);
    }
    return 0;
}
