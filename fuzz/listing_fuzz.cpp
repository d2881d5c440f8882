// Arbitrary folder listings (names separated by newlines) into the name list, and every entry
// picked from it: the buffer is never overrun and the count always matches what it holds.
#include <cstddef>
#include <cstdint>
#include <string>

#include "control/configuration_files.h"
#include "fuzz/fuzz_input.h"
#include "fuzz/memory_file_system.h"
#include "platform/file_system.h"
#include "platform/scripted_operator.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kaptor;
    fuzz::MemoryFileSystem files;
    files.listing = fuzz::lines(fuzz::text(data, size));
    for (std::string& name : files.listing) {
        std::erase(name, '\0');  // no file name holds one
    }
    platform::ScriptedOperator person;
    control::ConfigurationFiles store(files, person);
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
