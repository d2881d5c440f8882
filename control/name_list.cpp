#include "control/name_list.h"

#include <algorithm>

namespace kaptor::control {

std::string_view NameList::text() const {
    const std::string_view all(listBuffer.data(), listBuffer.size());
    return all.substr(0, std::min(all.find('\0'), all.size()));
}

void NameList::clear() {
    listBuffer.fill('\0');
    listCount = 0;
}

bool NameList::append(std::string_view name) {
    const std::size_t used = text().size();
    if (used + name.size() + 1 > LIST_BUFFER_SIZE - 1) {
        return false;
    }
    std::copy(name.begin(), name.end(), listBuffer.begin() + static_cast<std::ptrdiff_t>(used));
    listBuffer[used + name.size()] = '+';
    listBuffer[used + name.size() + 1] = '\0';
    return true;
}

std::string NameList::getListEntry() const {
    std::string_view rest = text();
    const auto lastPlus = rest.rfind('+');
    rest = lastPlus == std::string_view::npos ? std::string_view{} : rest.substr(0, lastPlus + 1);
    std::string_view entry;
    for (std::int32_t i = 0; i < listIndex; ++i) {
        const auto plus = rest.find('+');
        if (plus == std::string_view::npos) {
            entry = {};
            // Nothing is left to take: every further step gives the same empty entry.
            break;
        }
        entry = rest.substr(0, plus);
        rest = rest.substr(plus + 1);
    }
    return std::string(entry);
}

}  // namespace kaptor::control
