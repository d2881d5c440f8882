// The parts of the file layer that do not depend on the host: wildcard matching and the
// replacement of a whole file through the FileSystem interface.
#include "platform/file_system.h"

#include "platform/text.h"

namespace kaptor::platform {

bool matchesWildcard(std::string_view name, std::string_view pattern) {
    // Iterative match with backtracking to the last star.
    std::size_t n = 0, p = 0, starP = std::string_view::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() &&
            (pattern[p] == '?' || foldCase1252(pattern[p]) == foldCase1252(name[n]))) {
            ++n;
            ++p;
        } else if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') {
        ++p;
    }
    return p == pattern.size();
}

bool replaceWholeFile(FileSystem& files, std::string_view path, std::string_view contents) {
    const auto file = files.createReplacement(path);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(contents.data());
    return file && file->write({bytes, contents.size()}) && file->commit();
}

}  // namespace kaptor::platform
